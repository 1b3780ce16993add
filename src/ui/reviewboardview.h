#pragma once

#include "cell.h"
#include "geometry.h"

#include <QWidget>

#include <vector>

// The review's small board: the letters of a finished game at a smaller
// tile size, with the path of one word drawn over them, its first letter
// framed red and badged, the others framed black.
class ReviewBoardView : public QWidget
{
    Q_OBJECT

public:
    static constexpr int TileSize = 28;
    static constexpr int Side = TileSize * rules::BoardSize;

    explicit ReviewBoardView(QWidget *parent = nullptr);

    void setLetters(const rules::Letters &letters);
    const rules::Letters &letters() const { return m_letters; }
    // An empty path draws none.
    void setPath(const std::vector<rules::Cell> &path);
    const std::vector<rules::Cell> &path() const { return m_path; }

    // The centre of a cell on the surface.
    static QPoint centreOf(rules::Cell cell);

    QSize sizeHint() const override { return QSize(Side, Side); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void cellsChanged(const std::vector<rules::Cell> &cells);

    rules::Letters m_letters{};
    std::vector<rules::Cell> m_path;
};
