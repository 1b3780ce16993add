#include "reviewboardview.h"

#include "accessibility.h"
#include "artwork.h"
#include "uistyle.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const QColor PathColour{0xFF, 0x80, 0x00, 210};

} // namespace

ReviewBoardView::ReviewBoardView(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(Side, Side);
    setAccessibleName(tr("Board"));
}

void ReviewBoardView::setLetters(const rules::Letters &letters)
{
    m_letters = letters;
    update();
    std::vector<rules::Cell> all;
    for (int row = 0; row < rules::BoardSize; ++row) {
        for (int column = 0; column < rules::BoardSize; ++column)
            all.push_back(rules::Cell{column, row});
    }
    cellsChanged(all);
}

void ReviewBoardView::setPath(const std::vector<rules::Cell> &path)
{
    std::vector<rules::Cell> changed = m_path;
    m_path = path;
    update();
    changed.insert(changed.end(), m_path.begin(), m_path.end());
    cellsChanged(changed);
}

void ReviewBoardView::cellsChanged(const std::vector<rules::Cell> &cells)
{
    for (const rules::Cell cell : cells)
        Accessibility::boardCellChanged(this, cell.column, cell.row);
}

QPoint ReviewBoardView::centreOf(rules::Cell cell)
{
    return QPoint(cell.column * TileSize + TileSize / 2, cell.row * TileSize + TileSize / 2);
}

void ReviewBoardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), UiStyle::Green);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int column = 0; column < rules::BoardSize; ++column) {
        for (int row = 0; row < rules::BoardSize; ++row) {
            const QRect at(column * TileSize, row * TileSize, TileSize, TileSize);
            painter.drawPixmap(at, Artwork::tile(m_letters[std::size_t(rules::cellIndex(column, row))]));
        }
    }
    if (m_path.empty())
        return;

    for (std::size_t i = 0; i < m_path.size(); ++i) {
        const QRect at(m_path[i].column * TileSize, m_path[i].row * TileSize, TileSize, TileSize);
        painter.drawPixmap(at, Artwork::tile(i == 0 ? Artwork::NewestLetterFrame : Artwork::WordLetterFrame));
    }
    QPainterPath line(centreOf(m_path.front()));
    for (std::size_t i = 1; i < m_path.size(); ++i)
        line.lineTo(centreOf(m_path[i]));
    painter.setPen(QPen(PathColour, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(line);

    // The start: a red badge in the corner of the first letter's tile.
    const QPoint corner(m_path.front().column * TileSize + 6, m_path.front().row * TileSize + 6);
    painter.setPen(QPen(UiStyle::Cream, 1));
    painter.setBrush(UiStyle::ButtonBorder);
    painter.drawEllipse(corner, 5, 5);
}
