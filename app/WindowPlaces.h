// Where the program's tool windows open: the three channel windows each at a place of its own
// below the main menu, clear of each other, of the switchboard keys with the channel buttons and
// of where the dialogues open (the middle of the screen); the error list and the route-section
// window clear of the keys. Rectangles are in screen coordinates and take in the window frame.
#pragma once
#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

// The place (top left) nearest to want, on a grid of `step` pixels, where a window of size fits
// inside area and touches none of avoid; none when there is no such place.
std::optional<QPoint> NearestFreePlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                       int step = 4);

// What the channel windows keep clear of.
struct TScreenLayout {
    QRect Area;      // the screen's available area
    QRect Menu;      // the main menu bar (empty: none shown)
    QRect Keys;      // the switchboard keys and the channel buttons (empty: none shown)
    QRect Dialogues; // where the dialogues open (empty: none)
};

// The places of the channel windows of these sizes (frames included), in the order of the channel
// buttons: train radio, loudspeaker, shunting radio. Each wants its slot of a row below the main
// menu and takes the free place nearest to it; where the screen leaves none clear of the dialogues,
// then of the keys, it gives those up in that order, never the others' places.
std::vector<QPoint> ChannelWindowPlaces(const TScreenLayout& screen, const std::vector<QSize>& sizes);

// The place of a tool window designed at `designed`: there when clear of the keys and the menu and
// on the screen, else the nearest such place (clear of `others` too).
QPoint ToolWindowPlace(const TScreenLayout& screen, const QRect& designed, const std::vector<QRect>& others = {});

class TForm;
// Gives the channel windows, the error list and the route-section window their placement (each
// time a channel window shows; the first time the other two do). Call once all windows exist.
void PlaceTrainerToolWindows();
// The screen as the main window shows it now.
TScreenLayout CurrentScreenLayout();
// The window's rectangle with its frame (the frame estimated before the first show).
QRect FramedRect(const TForm& f);
