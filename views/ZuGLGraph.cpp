#include "views/ZuGLGraph.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

#include "views/CurveThinning.h"

using namespace VSTGUI;

namespace {

// Where an area meets its base line, and on the corners of the knee band.
constexpr uint8_t kEdgeAlpha = 96;
// Columns under one body of an area: two triangles as wide as that fill what lies well inside the
// area. A software renderer pays for a triangle by the blocks of pixels it touches, so a strip of
// tall triangles one pixel wide costs many times the pixels it fills.
constexpr int kBodyColumns = 8;
// How far, in alpha, a body's gradient may stray from the one each column has on its own.
constexpr double kBodyAlphaError = 4.0;

void setVertex(float* xy, uint8_t* rgba, float x, float y, const CColor& color, double alpha) {
    xy[0] = x;
    xy[1] = y;
    rgba[0] = color.red;
    rgba[1] = color.green;
    rgba[2] = color.blue;
    rgba[3] = static_cast<uint8_t>(std::lround(alpha));
}

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
      lineScale(static_cast<float>(scale)), columnStep(std::max(1.f, std::floor(lineScale))),
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

// Columns lie on pixel centres, one pixel apart, or as many as a line is wide when the view is
// scaled up: the curve, drawn over the area's edge, hides where the edge runs straight between.
void ZuGLGraph::placeColumns() {
    const float last = pointX[pointCount - 1];
    const int centres = last > 0.5f ? static_cast<int>(std::ceil((last + 0.5f) / columnStep)) - 1 : 0;
    columnCount = centres + 2;
    columnX = std::make_unique<float[]>(columnCount);
    columnPoint = std::make_unique<int[]>(columnCount);
    columnFraction = std::make_unique<double[]>(columnCount);
    columnY = std::make_unique<float[]>(columnCount);
    blockCount = columnCount > 1 ? (columnCount - 2) / kBodyColumns + 1 : 0;
    bodies = std::make_unique<float[]>(12 * blockCount);
    bodyColors = std::make_unique<uint8_t[]>(24 * blockCount);
    strip = std::make_unique<float[]>(4 * (columnCount + blockCount));
    stripColors = std::make_unique<uint8_t[]>(8 * (columnCount + blockCount));
    int i = 0;
    for (int c = 0; c < columnCount; ++c) {
        const float x = c == 0 ? pointX[0] : c == columnCount - 1 ? last : columnStep * static_cast<float>(c) - 0.5f;
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

// A pixel is filled when its centre lies inside the area, and at a scale of 1 four points share
// each pixel column: a strip through the curve at every column's centre and at both ends fills the
// same pixels as one through every point, with a quarter of the triangles. The area, then the
// curve over it.
void ZuGLGraph::drawArea(double baseY, const CColor& fill, const CColor& lineColor) {
    fillArea(baseY, fill);
    // Every smooth line segment is costly on a software renderer. The decays run straight for
    // many columns (a quarter of a pixel at 1, or of the line's width, is less than the smoothing
    // shows), and where the curve is rough, several points share each of the areas' columns.
    setColor(lineColor);
    const int thinCount = tarn::thinCurve(curve.get(), pointCount, thinLine.get(), columnStep);
    const int lineCount = tarn::straightenCurve(thinLine.get(), thinCount, 0.25f * lineScale, thinLine.get());
    glVertexPointer(2, GL_FLOAT, 0, thinLine.get());
    glDrawArrays(GL_LINE_STRIP, 0, lineCount);
}

// Each column's alpha grows from kEdgeAlpha on the base line to the fill's at the curve. Under a
// block of columns, a body reaches from the base line as far towards the curve as keeps its
// gradient, which is straight between the block's outer columns, within kBodyAlphaError of each
// column's own; the strip goes on from the body's top to the curve at every column. Bodies and
// strip share their edges, so every pixel is filled once.
void ZuGLGraph::fillArea(double baseY, const CColor& fill) {
    for (int c = 0; c < columnCount; ++c) {
        const int i = columnPoint[c];
        double y = curve[2 * i + 1];
        if (columnFraction[c] > 0.) y += columnFraction[c] * (curve[2 * i + 3] - y);
        columnY[c] = static_cast<float>(y);
    }
    // Heights count from the base line towards the curve: up from the bottom edge, down from the top.
    const double towardsCurve = baseY > 0. ? -1. : 1.;
    const double rise = fill.alpha - kEdgeAlpha;
    const float base = static_cast<float>(baseY);
    int bodyVertices = 0, stripVertices = 0;
    for (int first = 0; first + 1 < columnCount; first += kBodyColumns) {
        const int last = std::min(first + kBodyColumns, columnCount - 1);
        double lowest = HUGE_VAL, highest = 0.;
        for (int c = first; c <= last; ++c) {
            const double height = (columnY[c] - baseY) * towardsCurve;
            lowest = std::min(lowest, height);
            highest = std::max(highest, height);
        }
        // At height h a column whose curve is H high has the alpha kEdgeAlpha + rise * h / H.
        // At a scale of 1 the strip alone fills the area, as it always has: the picture stays
        // as it was, and its cost is small enough.
        double body = 0.;
        if (lowest > 0. && lineScale > 1.f) {
            const double spread = rise * (1. / lowest - 1. / highest);
            body = spread > 0. ? std::min(lowest, kBodyAlphaError / spread) : lowest;
        }
        const float top = static_cast<float>(baseY + body * towardsCurve);
        auto alphaAtTop = [&](int c) {
            return body > 0. ? kEdgeAlpha + rise * body / ((columnY[c] - baseY) * towardsCurve) : kEdgeAlpha;
        };
        if (body > 0.) {
            const float x[2] = {columnX[first], columnX[last]};
            const double alpha[2] = {alphaAtTop(first), alphaAtTop(last)};
            // Two triangles: left base, left top, right base; left top, right base, right top.
            for (int corner : {0, 1, 2, 1, 2, 3}) {
                const int side = corner / 2;
                const bool atTop = corner % 2;
                setVertex(bodies.get() + 2 * bodyVertices, bodyColors.get() + 4 * bodyVertices, x[side],
                          atTop ? top : base, fill, atTop ? alpha[side] : kEdgeAlpha);
                ++bodyVertices;
            }
        }
        for (int c = first; c <= last; ++c, stripVertices += 2) {
            float* xy = strip.get() + 2 * stripVertices;
            uint8_t* rgba = stripColors.get() + 4 * stripVertices;
            setVertex(xy, rgba, columnX[c], top, fill, alphaAtTop(c));
            setVertex(xy + 2, rgba + 4, columnX[c], columnY[c], fill, fill.alpha);
        }
    }
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, bodyColors.get());
    glVertexPointer(2, GL_FLOAT, 0, bodies.get());
    glDrawArrays(GL_TRIANGLES, 0, bodyVertices);
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, stripColors.get());
    glVertexPointer(2, GL_FLOAT, 0, strip.get());
    glDrawArrays(GL_TRIANGLE_STRIP, 0, stripVertices);
    glDisableClientState(GL_COLOR_ARRAY);
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
