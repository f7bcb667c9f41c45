#pragma once
#include <cstdint>
#include <memory>

#include "dsp/CompressorEngine.h"
#include "gui/CColor.h"
#include "gui/COpenGLView.h"
#include "views/DecibelHistory.h"

// The scrolling level graph: the last 1500 history steps of input and output level as areas
// and curves, the gain reduction hanging from the top edge, the threshold and knee-start
// lines with a band between them, a faint grid every 6 dB and a border. The vertical axis
// has a fixed number of pixels per doubling of amplitude; dragging with the left button
// changes how many doublings the height spans (the display range, 1 to 8).
//
// Everything runs on the user-interface thread. updateFromEngine is called with the engine
// lock held; drawing reads only the view's own copies.
class ZuGLGraph : public VSTGUI::COpenGLView {
public:
    // Lines are scale (device pixels per layout pixel) times as wide as at 1.
    explicit ZuGLGraph(const VSTGUI::CRect& size, double scale = 1.0);
    ZuGLGraph(const ZuGLGraph&) = delete;
    ZuGLGraph& operator=(const ZuGLGraph&) = delete;

    // Copies the engine's histories, threshold and knee start as decibels; new levels or lines
    // make the view stale. Draws nothing. The caller holds the engine lock.
    virtual void updateFromEngine(const tarn::CompressorEngine& engine);
    // Doublings of amplitude that the view's height spans below its top edge at +6.02 dB.
    virtual float getDisplayRange() const { return displayRange; }

    // One complete OpenGL pass into the view's own surface; context is not used. Without a
    // surface, or for an empty rectangle, it does nothing.
    void draw(VSTGUI::CDrawContext* context) override;
    VSTGUI::CMouseEventResult onMouseDown(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    VSTGUI::CMouseEventResult onMouseUp(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    // The range drag: one step per event with the left button alone held.
    VSTGUI::CMouseEventResult onMouseMoved(VSTGUI::CPoint& where, const VSTGUI::CButtonState& buttons) override;
    // A tick of the frame's idle timer draws a pass when the view is stale.
    void onIdle() override;
    // The surface's own paint requests make the view stale: all drawing comes from draw.
    void drawOpenGL(const VSTGUI::CRect& updateRect) override;
    // A new place or size of the surface.
    void platformOpenGLViewSizeChanged() override { stale = true; }
    // Something the picture does not show yet: new levels or lines, a range step, an expose or
    // a new size of the surface. A pass makes the view fresh.
    bool isStale() const { return stale; }

    CLASS_METHODS_NOCOPY(ZuGLGraph, COpenGLView)

    static constexpr int pointCount = tarn::DecibelHistory::kLength;

    // Geometry, in view-local pixels with y downwards.
    float getPointX(int i) const { return pointX[i]; }
    // y of a level in dB: the top edge is +dbPerDoubling dB.
    double levelY(float db) const { return stepHeight - (db / dbPerDoubling) * stepHeight; }
    // Depth of the gain reduction of point i below the top edge.
    double reductionDepth(int i) const { return ((inputDb[i] - outputDb[i]) / dbPerDoubling) * stepHeight; }
    // Grid line k (1 to 7), 6·k dB below the top edge.
    double getGridY(int k) const { return gridY[k - 1]; }

    const tarn::DecibelHistory& getInputDb() const { return inputDb; }
    const tarn::DecibelHistory& getOutputDb() const { return outputDb; }
    float getThresholdDb() const { return thresholdDb; }
    float getKneeStartDb() const { return kneeStartDb; }

protected:
    ~ZuGLGraph() override = default;

private:

    void placeGrid();
    void drawGrid() const;
    void drawLines(double kneeY, double thresholdY) const;
    void drawLevel(const tarn::DecibelHistory& history, const VSTGUI::CColor& fill, const VSTGUI::CColor& line);
    void drawReduction();
    void placeColumns();
    void placeCurvePoint(int i, double y);
    void drawArea(double baseY, const VSTGUI::CColor& fill, const VSTGUI::CColor& lineColor);
    void fillArea(double baseY, const VSTGUI::CColor& fill);
    void drawKneeBand(double kneeY, double thresholdY) const;
    void drawBorder() const;

    static constexpr VSTGUI::CColor inputFillColor{255, 255, 255, 128};
    static constexpr VSTGUI::CColor inputLineColor{255, 255, 255, 192};
    static constexpr VSTGUI::CColor outputFillColor{192, 255, 192, 128};
    static constexpr VSTGUI::CColor outputLineColor{192, 255, 192, 192};
    static constexpr VSTGUI::CColor reductionFillColor{255, 0, 0, 128};
    static constexpr VSTGUI::CColor reductionLineColor{255, 0, 0, 192};
    static constexpr VSTGUI::CColor thresholdColor{192, 192, 64, 255};
    static constexpr VSTGUI::CColor kneeColor{192, 128, 64, 255};
    static constexpr VSTGUI::CColor borderColor{255, 255, 255, 255};
    static constexpr VSTGUI::CColor gridColor{255, 255, 255, 64};

    tarn::DecibelHistory inputDb;
    tarn::DecibelHistory outputDb;
    float thresholdDb = 0.f;
    float kneeStartDb = 0.f;
    double graphWidth;
    double graphHeight;
    float lineScale;
    // Pixels from one of the areas' columns to the next: as many as a line is wide, at least one.
    float columnStep;
    double stepHeight = 0.;
    double dbPerDoubling = 0.;
    double gridY[7] = {};
    float displayRange = 8.f;
    std::unique_ptr<float[]> pointX;
    VSTGUI::CPoint lastMousePoint;
    bool stale = true;
    // The curve being drawn: x, y of every point.
    std::unique_ptr<float[]> curve;
    // The areas' strip columns: x, and where it lies between point columnPoint and the next.
    int columnCount = 0;
    std::unique_ptr<float[]> columnX;
    std::unique_ptr<int[]> columnPoint;
    std::unique_ptr<double[]> columnFraction;
    // Where the curve being drawn crosses each column.
    std::unique_ptr<float[]> columnY;
    // An area as drawn, each vertex an x, y and a colour (red, green, blue, alpha): the bodies'
    // triangles, and a triangle strip through every column from the bodies' tops to the curve.
    int blockCount = 0;
    std::unique_ptr<float[]> bodies;
    std::unique_ptr<uint8_t[]> bodyColors;
    std::unique_ptr<float[]> strip;
    std::unique_ptr<uint8_t[]> stripColors;
    // The curve's line as drawn: a few points per pixel column, fewer where it runs straight.
    std::unique_ptr<float[]> thinLine;
};
