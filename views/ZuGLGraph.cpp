#include "views/ZuGLGraph.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>

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

ZuGLGraph::ZuGLGraph(const CRect& size)
    : COpenGLView(size), graphWidth(size.getWidth()), graphHeight(size.getHeight()),
      pointX(std::make_unique<float[]>(pointCount)) {
    setTransparency(true);
    setWantsIdle(true);
    // The frame's idle timer, created when the view is attached, ticks every 8 ms: every tick
    // is one drawing pass.
    CView::idleRate = 120;
    setWantsFocus(true);
    setMouseEnabled(true);

    const float width = static_cast<float>(graphWidth);
    const float spacing = width > 0.f ? 1.f / (pointCount / width) : 0.f;
    for (int i = 0; i < pointCount; ++i) pointX[i] = static_cast<float>(i) * spacing;
    placeGrid();
}

void ZuGLGraph::placeGrid() {
    stepHeight = graphHeight / displayRange;
    dbPerDoubling = 20.0 * std::log10(2.0);
    for (int k = 1; k <= 7; ++k) gridY[k - 1] = (6.0 * k / dbPerDoubling) * stepHeight;
}

void ZuGLGraph::updateFromEngine(const tarn::CompressorEngine& engine) {
    inputDb.update(engine.inputHistory);
    outputDb.update(engine.outputHistory);
    const float threshold = engine.threshold();
    const float kneeStart = engine.kneeStart();
    thresholdDb = tarn::DecibelHistory::toDb(threshold);
    kneeStartDb = tarn::DecibelHistory::toDb(kneeStart);
    setDirty(true);
}

void ZuGLGraph::draw(CDrawContext*) {
    IPlatformOpenGLView* surface = getPlatformOpenGLView();
    if (!surface || !isAttached() || !(graphWidth > 0.) || !(graphHeight > 0.)) return;
    // Re-places the surface and makes its context current; asking again tells whether it is.
    setViewSize(getViewSize(), true);
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
    glLineWidth(1.5f);
    drawLevel(inputDb, inputFillColor, inputLineColor);
    drawLevel(outputDb, outputFillColor, outputLineColor);
    drawReduction();
    drawKneeBand(kneeY, thresholdY);
    drawBorder();

    glDepthMask(GL_TRUE);
    glDisable(GL_LINE_SMOOTH);
    glDisable(GL_BLEND);
    surface->swapBuffers();
    setDirty(false);
}

void ZuGLGraph::drawGrid() const {
    glLineWidth(1.f);
    setColor(gridColor);
    for (double y : gridY) horizontalLine(y, graphWidth);
}

void ZuGLGraph::drawLines(double kneeY, double thresholdY) const {
    glLineWidth(2.f);
    setColor(kneeColor);
    horizontalLine(kneeY, graphWidth);
    setColor(thresholdColor);
    horizontalLine(thresholdY, graphWidth);
}

// An area rising from the bottom edge to the curve, its alpha growing towards the curve,
// then the curve over it.
void ZuGLGraph::drawLevel(const tarn::DecibelHistory& history, const CColor& fill, const CColor& line) const {
    const float* db = history.data();
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < pointCount; ++i) {
        setColor(fill, kEdgeAlpha);
        glVertex2d(pointX[i], graphHeight);
        setColor(fill);
        glVertex2d(pointX[i], levelY(db[i]));
    }
    glEnd();
    setColor(line);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < pointCount; ++i) glVertex2d(pointX[i], levelY(db[i]));
    glEnd();
}

// The gain reduction hangs from the top edge, as deep as input and output differ.
void ZuGLGraph::drawReduction() const {
    glBegin(GL_TRIANGLE_STRIP);
    for (int i = 0; i < pointCount; ++i) {
        setColor(reductionFillColor, kEdgeAlpha);
        glVertex2d(pointX[i], 0);
        setColor(reductionFillColor);
        glVertex2d(pointX[i], reductionDepth(i));
    }
    glEnd();
    setColor(reductionLineColor);
    glBegin(GL_LINE_STRIP);
    for (int i = 0; i < pointCount; ++i) glVertex2d(pointX[i], reductionDepth(i));
    glEnd();
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
    glLineWidth(1.f);
    setColor(borderColor);
    glBegin(GL_LINE_STRIP);
    glVertex2d(0, 0);
    glVertex2d(graphWidth, 0);
    glVertex2d(graphWidth, graphHeight);
    glVertex2d(0, graphHeight);
    glVertex2d(0, 0);
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
    if (lastMousePoint.y > where.y) displayRange -= step;
    else if (lastMousePoint.y < where.y) displayRange += step;
    if (!(displayRange >= 1.f)) displayRange = 1.f;
    else if (displayRange > 8.f) displayRange = 8.f;
    if (buttons.getModifierState() == kControl) displayRange = 8.f;
    placeGrid();
    lastMousePoint = where;
    return kMouseEventHandled;
}

void ZuGLGraph::drawOpenGL(const CRect&) {}
