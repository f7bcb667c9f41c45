#include "views/ZuGLGraph.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

#include "views/CurveThinning.h"

using namespace VSTGUI;

namespace {

// Where an area meets its base line, and on the corners of the knee band.
constexpr uint8_t kEdgeAlpha = 96;

void setColor(const CColor& color) { glColor4ub(color.red, color.green, color.blue, color.alpha); }
void setColor(const CColor& color, uint8_t alpha) { glColor4ub(color.red, color.green, color.blue, alpha); }

void horizontalLine(double y, double width) {
    glBegin(GL_LINE_STRIP);
    glVertex2d(0, y);
    glVertex2d(width, y);
    glEnd();
}

} // namespace

ZuGLGraph::ZuGLGraph(const CRect& size, double scale)
    : COpenGLView(size), graphWidth(size.getWidth()), graphHeight(size.getHeight()),
      lineScale(static_cast<float>(scale)),
      pointX(std::make_unique<float[]>(pointCount)), curve(std::make_unique<float[]>(2 * pointCount)),
      thinLine(std::make_unique<float[]>(2 * pointCount)) {
    setTransparency(true);
    setWantsIdle(true);
    // The frame's idle timer, created when the view is attached, ticks every 8 ms: a tick with
    // something new to show is one drawing pass.
    CView::idleRate = 120;
    setWantsFocus(true);
    setMouseEnabled(true);

    const float width = static_cast<float>(graphWidth);
    const float spacing = width > 0.f ? 1.f / (pointCount / width) : 0.f;
    for (int i = 0; i < pointCount; ++i) pointX[i] = static_cast<float>(i) * spacing;
    placeColumns();
    placeGrid();
}

void ZuGLGraph::placeColumns() {
    const float last = pointX[pointCount - 1];
    const int centres = last > 0.5f ? static_cast<int>(std::ceil(last - 0.5f)) : 0;
    columnCount = centres + 2;
    columnX = std::make_unique<float[]>(columnCount);
    columnPoint = std::make_unique<int[]>(columnCount);
    columnFraction = std::make_unique<double[]>(columnCount);
    strip = std::make_unique<float[]>(4 * columnCount);
    stripColors = std::make_unique<uint8_t[]>(8 * columnCount);
    int i = 0;
    for (int c = 0; c < columnCount; ++c) {
        const float x = c == 0 ? pointX[0] : c == columnCount - 1 ? last : static_cast<float>(c) - 0.5f;
        while (i + 2 < pointCount && pointX[i + 1] <= x) ++i;
        columnX[c] = x;
        columnPoint[c] = i;
        const double width = static_cast<double>(pointX[i + 1]) - pointX[i];
        columnFraction[c] = width > 0. ? (static_cast<double>(x) - pointX[i]) / width : 0.;
    }
}

void ZuGLGraph::placeGrid() {
    stepHeight = graphHeight / displayRange;
    dbPerDoubling = 20.0 * std::log10(2.0);
    for (int k = 1; k <= 7; ++k) gridY[k - 1] = (6.0 * k / dbPerDoubling) * stepHeight;
}

void ZuGLGraph::updateFromEngine(const tarn::CompressorEngine& engine) {
    const bool newInput = inputDb.update(engine.inputHistory);
    const bool newOutput = outputDb.update(engine.outputHistory);
    const float threshold = engine.threshold();
    const float kneeStart = engine.kneeStart();
    const float newThresholdDb = tarn::DecibelHistory::toDb(threshold);
    const float newKneeStartDb = tarn::DecibelHistory::toDb(kneeStart);
    if (newInput || newOutput || newThresholdDb != thresholdDb || newKneeStartDb != kneeStartDb) stale = true;
    thresholdDb = newThresholdDb;
    kneeStartDb = newKneeStartDb;
}

void ZuGLGraph::onIdle() {
    if (stale) draw(nullptr);
}

void ZuGLGraph::draw(CDrawContext*) {
    IPlatformOpenGLView* surface = getPlatformOpenGLView();
    if (!surface || !isAttached() || !(graphWidth > 0.) || !(graphHeight > 0.)) return;
    if (!surface->makeContextCurrent()) return;

    const CRect r = getViewSize();
    glLoadIdentity();
    glClear(GL_COLOR_BUFFER_BIT);
    glViewport(0, 0, static_cast<GLsizei>(r.right - r.left), static_cast<GLsizei>(r.bottom - r.top));
    gluOrtho2D(r.left, r.right, r.bottom, r.top);
    glTranslated(r.left, r.top, 0);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glHint(GL_LINE_SMOOTH_HINT, GL_NICEST);
    glEnable(GL_LINE_SMOOTH);

    const double kneeY = levelY(kneeStartDb);
    const double thresholdY = levelY(thresholdDb);
    drawGrid();
    drawLines(kneeY, thresholdY);
    glLineWidth(1.5f * lineScale);
    glEnableClientState(GL_VERTEX_ARRAY);
    drawLevel(inputDb, inputFillColor, inputLineColor);
    drawLevel(outputDb, outputFillColor, outputLineColor);
    drawReduction();
    glDisableClientState(GL_VERTEX_ARRAY);
    drawKneeBand(kneeY, thresholdY);
    drawBorder();

    glDepthMask(GL_TRUE);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    surface->swapBuffers();
    stale = false;
    setDirty(false);
}

void ZuGLGraph::drawGrid() const {
    glLineWidth(lineScale);
    setColor(gridColor);
    for (double y : gridY) horizontalLine(y, graphWidth);
}

void ZuGLGraph::drawLines(double kneeY, double thresholdY) const {
    glLineWidth(2.f * lineScale);
    setColor(kneeColor);
    horizontalLine(kneeY, graphWidth);
    setColor(thresholdColor);
    horizontalLine(thresholdY, graphWidth);
}

// An area rising from the bottom edge to the curve, its alpha growing towards the curve,
// then the curve over it.
void ZuGLGraph::drawLevel(const tarn::DecibelHistory& history, const CColor& fill, const CColor& line) {
    const float* db = history.data();
    for (int i = 0; i < pointCount; ++i) placeCurvePoint(i, levelY(db[i]));
    drawArea(graphHeight, fill, line);
}

// The gain reduction hangs from the top edge, as deep as input and output differ.
void ZuGLGraph::drawReduction() {
    for (int i = 0; i < pointCount; ++i) placeCurvePoint(i, reductionDepth(i));
    drawArea(0, reductionFillColor, reductionLineColor);
}

void ZuGLGraph::placeCurvePoint(int i, double y) {
    curve[2 * i] = pointX[i];
    curve[2 * i + 1] = static_cast<float>(y);
}

// A pixel is filled when its centre lies inside the area, and four points share each pixel
// column: a strip through the curve at every column's centre and at both ends fills the same
// pixels as one through every point, with a quarter of the triangles, which is most of the cost
// on a software renderer. One call draws the area and one the curve.
void ZuGLGraph::drawArea(double baseY, const CColor& fill, const CColor& lineColor) {
    const float base = static_cast<float>(baseY);
    for (int c = 0; c < columnCount; ++c) {
        const int i = columnPoint[c];
        double y = curve[2 * i + 1];
        if (columnFraction[c] > 0.) y += columnFraction[c] * (curve[2 * i + 3] - y);
        float* vertex = strip.get() + 4 * c;
        vertex[0] = columnX[c];
        vertex[1] = base;
        vertex[2] = columnX[c];
        vertex[3] = static_cast<float>(y);
    }
    uint8_t* color = stripColors.get();
    for (int v = 0; v < 2 * columnCount; ++v, color += 4) {
        color[0] = fill.red;
        color[1] = fill.green;
        color[2] = fill.blue;
        color[3] = v % 2 ? fill.alpha : kEdgeAlpha;
    }
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, stripColors.get());
    glVertexPointer(2, GL_FLOAT, 0, strip.get());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 2 * columnCount);
    glDisableClientState(GL_COLOR_ARRAY);
    // Every smooth line segment is costly on a software renderer. The decays run straight for
    // many columns (a quarter of a pixel is less than the smoothing shows), and where the curve
    // is rough, about four points share each pixel column.
    setColor(lineColor);
    const int thinCount = tarn::thinCurve(curve.get(), pointCount, thinLine.get());
    const int lineCount = tarn::straightenCurve(thinLine.get(), thinCount, 0.25f, thinLine.get());
    glVertexPointer(2, GL_FLOAT, 0, thinLine.get());
    glDrawArrays(GL_LINE_STRIP, 0, lineCount);
}

// Lies over the curves: the knee's colour at its start, the threshold's at the threshold.
void ZuGLGraph::drawKneeBand(double kneeY, double thresholdY) const {
    glBegin(GL_TRIANGLE_STRIP);
    setColor(kneeColor, kEdgeAlpha);
    glVertex2d(0, kneeY);
    setColor(thresholdColor, kEdgeAlpha);
    glVertex2d(0, thresholdY);
    setColor(kneeColor, kEdgeAlpha);
    glVertex2d(graphWidth, kneeY);
    setColor(thresholdColor, kEdgeAlpha);
    glVertex2d(graphWidth, thresholdY);
    glEnd();
}

void ZuGLGraph::drawBorder() const {
    glLineWidth(lineScale);
    setColor(borderColor);
    // A line wider than a pixel lies inside the view, as the one-pixel line does.
    const double in = (lineScale - 1.0) / 2;
    glBegin(GL_LINE_STRIP);
    glVertex2d(in, in);
    glVertex2d(graphWidth - in, in);
    glVertex2d(graphWidth - in, graphHeight - in);
    glVertex2d(in, graphHeight - in);
    glVertex2d(in, in);
    glEnd();
}

CMouseEventResult ZuGLGraph::onMouseDown(CPoint& where, const CButtonState& buttons) {
    if (buttons.getButtonState() != kLButton) return kMouseEventNotHandled;
    lastMousePoint = where;
    return onMouseMoved(where, buttons);
}

CMouseEventResult ZuGLGraph::onMouseUp(CPoint&, const CButtonState&) { return kMouseEventHandled; }

CMouseEventResult ZuGLGraph::onMouseMoved(CPoint& where, const CButtonState& buttons) {
    if (buttons.getButtonState() != kLButton) return kMouseEventNotHandled;
    // Every event is one step, however far the pointer moved: up narrows the range.
    const float step = buttons.getModifierState() == kShift ? 0.01f : 0.1f;
    const float lastRange = displayRange;
    if (lastMousePoint.y > where.y) displayRange -= step;
    else if (lastMousePoint.y < where.y) displayRange += step;
    if (!(displayRange >= 1.f)) displayRange = 1.f;
    else if (displayRange > 8.f) displayRange = 8.f;
    if (buttons.getModifierState() == kControl) displayRange = 8.f;
    if (displayRange != lastRange) stale = true;
    placeGrid();
    lastMousePoint = where;
    return kMouseEventHandled;
}

void ZuGLGraph::drawOpenGL(const CRect&) { stale = true; }
