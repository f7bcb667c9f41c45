#pragma once
#include <memory>
#include <string>
#include <vector>

namespace tarn {

// Components from 0 to 1.
struct PlotColour {
    double red;
    double green;
    double blue;
    double alpha;
};

struct PlotPoint {
    double x;
    double y;
};

enum class TextAlign { Left, Centre, Right };

// An image of a plot drawn in pixels from the top left corner, anti-aliased, written as a PNG
// file: cairo on Linux, GDI+ on Windows.
class PlotCanvas {
public:
    // A canvas of the size filled with black; null with a one-line reason when it cannot be made.
    static std::unique_ptr<PlotCanvas> create(int width, int height, std::string& error);

    virtual ~PlotCanvas() = default;
    virtual void fillRectangle(double left, double top, double right, double bottom, PlotColour colour) = 0;
    virtual void fillPolygon(const std::vector<PlotPoint>& points, PlotColour colour) = 0;
    virtual void drawLine(const std::vector<PlotPoint>& points, double width, PlotColour colour, bool dashed) = 0;
    // One line of text of the pixel size whose middle is at y, placed at x by the alignment.
    virtual void drawText(double x, double y, const std::string& text, double size, PlotColour colour,
                          TextAlign align) = 0;
    virtual bool savePng(const std::string& path, std::string& error) = 0;
};

}  // namespace tarn
