// A contact sheet of every panel picture, for looking at them: set VELO_PANEL_SHEET to a PNG path.
#include <gtest/gtest.h>

#include <QFont>
#include <QImage>
#include <QPainter>

#include <cstdlib>

#include "panel/PanelBitmaps.h"

TEST(PanelSheet, WritesContactSheetWhenAsked) {
  const char* path = std::getenv("VELO_PANEL_SHEET");
  if (path == nullptr || *path == 0) GTEST_SKIP() << "VELO_PANEL_SHEET not set";
  const int scale = 4, cellW = 200, cellH = 180, columns = 10;
  const auto names = PanelBitmapNames();
  const int rows = static_cast<int>((names.size() + columns - 1) / columns);
  QImage sheet(columns * cellW, rows * cellH, QImage::Format_RGB32);
  sheet.fill(QColor(70, 70, 70));
  QPainter p(&sheet);
  QFont font;
  font.setPixelSize(11);
  p.setFont(font);
  for (size_t i = 0; i < names.size(); ++i) {
    const int x = static_cast<int>(i % columns) * cellW, y = static_cast<int>(i / columns) * cellH;
    const QImage img = DrawPanelBitmap(names[i]);
    p.fillRect(x + 2, y + 2, cellW - 4, cellH - 4, PanelBackgroundColor());
    const QImage big = img.scaled(img.size() * scale);
    const int s = (big.width() > cellW - 8 || big.height() > cellH - 24) ? 2 : scale;
    const QImage shown = img.scaled(img.size() * s);
    p.drawImage(x + 6, y + 6, shown);
    p.drawImage(x + cellW - 8 - img.width(), y + cellH - 20 - img.height(), img);
    p.setPen(Qt::white);
    p.drawText(x + 6, y + cellH - 6, QString::fromStdString(names[i]));
  }
  p.end();
  ASSERT_TRUE(sheet.save(QString::fromLocal8Bit(path)));
}
