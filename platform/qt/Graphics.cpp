// Canvas drawing over QPainter, colour conversion, the named picture store and cursor shapes.
#include "platform/qt/Graphics.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <cstdio>
#include <map>
#include <set>

QColor ToQColor(TColor c)
{
    if (c == clNone) return Qt::transparent;
    if (c & clSystemColor) {
        QPalette pal = QApplication::palette();
        switch (static_cast<uint32_t>(c) & 0xFF) {
        case 0x05: return pal.color(QPalette::Base);
        case 0x08: return pal.color(QPalette::Text);
        case 0x0D: return pal.color(QPalette::Highlight);
        case 0x0E: return pal.color(QPalette::HighlightedText);
        case 0x10: return pal.color(QPalette::Dark);
        case 0x11: return pal.color(QPalette::Disabled, QPalette::Text);
        case 0x12: return pal.color(QPalette::ButtonText);
        case 0x14: return pal.color(QPalette::Light);
        case 0x17: return pal.color(QPalette::ToolTipText);
        case 0x18: return pal.color(QPalette::ToolTipBase);
        default: return pal.color(QPalette::Button);
        }
    }
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& c)
{
    return RGB(c.red(), c.green(), c.blue());
}

QFont TFont::ToQFont() const
{
    QFont f = QApplication::font();
    if (!Name.empty()) f.setFamily(QString::fromStdString(Name));
    if (Size > 0) f.setPointSize(Size);
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    return f;
}

void TCanvas::BeginPaint(QPainter* p)
{
    fPainter = p;
}

void TCanvas::EndPaint()
{
    fPainter = nullptr;
}

void TCanvas::ApplyPen()
{
    if (Pen.Style == psClear) {
        fPainter->setPen(Qt::NoPen);
        return;
    }
    QPen pen(ToQColor(Pen.Color));
    pen.setWidth(Pen.Width);
    // Wide lines end round, as the panel's plain lines are drawn.
    if (Pen.Width > 1) {
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
    }
    pen.setStyle(Pen.Style == psDash ? Qt::DashLine : Pen.Style == psDot ? Qt::DotLine : Qt::SolidLine);
    fPainter->setPen(pen);
}

void TCanvas::ApplyBrush()
{
    if (Brush.Style == bsClear)
        fPainter->setBrush(Qt::NoBrush);
    else
        fPainter->setBrush(ToQColor(Brush.Color));
}

void TCanvas::MoveTo(int x, int y)
{
    fPenX = x;
    fPenY = y;
}

void TCanvas::LineTo(int x, int y)
{
    if (fPainter) {
        ApplyPen();
        fPainter->drawLine(fPenX, fPenY, x, y);
    }
    fPenX = x;
    fPenY = y;
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    if (!fPainter) return;
    ApplyPen();
    ApplyBrush();
    fPainter->drawRect(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void TCanvas::Ellipse(int x1, int y1, int x2, int y2)
{
    if (!fPainter) return;
    ApplyPen();
    ApplyBrush();
    fPainter->drawEllipse(x1, y1, x2 - x1 - 1, y2 - y1 - 1);
}

void TCanvas::FillRect(const TRect& r)
{
    if (!fPainter || Brush.Style == bsClear) return;
    fPainter->fillRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top, ToQColor(Brush.Color));
}

void TCanvas::TextOut(int x, int y, const std::string& text)
{
    if (!fPainter) return;
    QFont f = Font.ToQFont();
    QFontMetrics fm(f);
    QString s = QString::fromStdString(text);
    if (Brush.Style != bsClear)
        fPainter->fillRect(x, y, fm.horizontalAdvance(s), fm.height(), ToQColor(Brush.Color));
    fPainter->setFont(f);
    fPainter->setPen(ToQColor(Font.Color));
    fPainter->drawText(x, y + fm.ascent(), s);
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text)
{
    if (!fPainter) return;
    fPainter->save();
    fPainter->setClipRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
    TextOut(x, y, text);
    fPainter->restore();
}

int TCanvas::TextWidth(const std::string& text) const
{
    return QFontMetrics(Font.ToQFont()).horizontalAdvance(QString::fromStdString(text));
}

int TCanvas::TextHeight(const std::string&) const
{
    return QFontMetrics(Font.ToQFont()).height();
}

void TCanvas::DrawImage(int x, int y, const QImage& image)
{
    if (fPainter && !image.isNull()) fPainter->drawImage(x, y, image);
}

void TCanvas::StretchDraw(const TRect& r, const QImage& image)
{
    if (fPainter && !image.isNull())
        fPainter->drawImage(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top), image);
}

void TCanvas::DrawBitmap(int x, int y, const std::string& name)
{
    DrawImage(x, y, FindBitmap(name));
}

// ---- named pictures ----

namespace {

struct TBitmapEntry {
    int Width = 0, Height = 0;
    TBitmapPainter Draw;
    QImage Image; // drawn on first use
};

std::string Key(const std::string& name)
{
    std::string k = name;
    for (char& c : k)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return k;
}

std::map<std::string, TBitmapEntry>& Bitmaps()
{
    static std::map<std::string, TBitmapEntry> b;
    return b;
}

std::vector<std::string>& Missing()
{
    static std::vector<std::string> m;
    return m;
}

} // namespace

void RegisterBitmap(const std::string& name, int width, int height, TBitmapPainter draw)
{
    TBitmapEntry e;
    e.Width = width;
    e.Height = height;
    e.Draw = std::move(draw);
    Bitmaps()[Key(name)] = std::move(e);
}

void RegisterBitmap(const std::string& name, const QImage& image)
{
    TBitmapEntry e;
    e.Width = image.width();
    e.Height = image.height();
    e.Image = image;
    Bitmaps()[Key(name)] = std::move(e);
}

bool BitmapExists(const std::string& name)
{
    return Bitmaps().count(Key(name)) != 0;
}

QImage FindBitmap(const std::string& name)
{
    auto it = Bitmaps().find(Key(name));
    if (it == Bitmaps().end()) {
        std::vector<std::string>& m = Missing();
        if (std::find(m.begin(), m.end(), name) == m.end()) {
            m.push_back(name);
            std::fprintf(stderr, "No picture named %s\n", name.c_str());
        }
        return QImage();
    }
    TBitmapEntry& e = it->second;
    if (e.Image.isNull() && e.Draw && e.Width > 0 && e.Height > 0) {
        QImage img(e.Width, e.Height, QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::transparent);
        QPainter p(&img);
        try {
            e.Draw(p);
        } catch (...) {
            // A faulty picture must not take down a paint handler: it stays empty.
        }
        p.end();
        e.Image = img;
    }
    return e.Image;
}

const std::vector<std::string>& MissingBitmaps()
{
    return Missing();
}

// ---- cursors ----

namespace {
std::map<TCursor, QCursor>& Cursors()
{
    static std::map<TCursor, QCursor> c;
    return c;
}
} // namespace

void SetCursorShape(TCursor id, const QCursor& shape)
{
    Cursors()[id] = shape;
}

QCursor CursorShape(TCursor id)
{
    auto it = Cursors().find(id);
    if (it != Cursors().end()) return it->second;
    switch (id) {
    case crNone: return QCursor(Qt::BlankCursor);
    case crCross: return QCursor(Qt::CrossCursor);
    case crIBeam: return QCursor(Qt::IBeamCursor);
    case crSizeNS: return QCursor(Qt::SizeVerCursor);
    case crSizeWE: return QCursor(Qt::SizeHorCursor);
    case crUpArrow: return QCursor(Qt::UpArrowCursor);
    case crHourGlass: return QCursor(Qt::WaitCursor);
    case crDrag: return QCursor(Qt::DragMoveCursor);
    case crNoDrop:
    case crNo: return QCursor(Qt::ForbiddenCursor);
    case crHelp: return QCursor(Qt::WhatsThisCursor);
    case crHandPoint: return QCursor(Qt::PointingHandCursor);
    case crSizeAll: return QCursor(Qt::SizeAllCursor);
    default: return QCursor(Qt::ArrowCursor);
    }
}
