#include "appearance/CardGeometry.h"

namespace velmora {

int CardGeometry::columnEdge(int i) {
    constexpr int columnLines = int(gridLines.size()) - rowLineCount;
    if (i <= 0) {
        return gridFrame[FrameLeft].left();
    }
    if (i > columnLines) {
        return gridFrame[FrameRight].left();
    }
    return gridLines.at(rowLineCount + i - 1).x1();
}

int CardGeometry::rowEdge(int i) {
    if (i <= 0) {
        return gridFrame[FrameTop].top();
    }
    if (i > rowLineCount) {
        return gridFrame[FrameBottom].top();
    }
    return gridLines.at(i - 1).y1();
}

QRect CardGeometry::cell(int column, int row) {
    return {QPoint(columnEdge(column), rowEdge(row)),
            QPoint(columnEdge(column + 1), rowEdge(row + 1))};
}

} // namespace velmora
