// Where the program's tool windows open: the three channel windows each at a place of its own
// below the main menu, clear of each other, of the switchboard keys with the channel buttons, of
// the status bar and of where the dialogues open (the middle of the screen); the error list, the
// route sections, the information and the help windows clear of the keys and the status bar. Each
// of them takes, among such places, the one that covers least of the track diagram (the parks'
// tracks and the signals most of all), and of those the nearest to where it wants to be. Places
// are kept when the panel scrolls or the main window changes size. Rectangles are in screen
// coordinates and take in the window frame.
#pragma once
#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QSize>

// A part of the screen a window had better not cover, and how much each of its pixels counts.
struct TCover {
    QRect Rect;
    int Weight = 1;
};

// The place (top left) nearest to want, on a grid of `step` pixels, where a window of size fits
// inside area and touches none of avoid; none when there is no such place.
std::optional<QPoint> NearestFreePlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                       int step = 4);
// The same, among those places the ones that cover least of covers (weighted).
std::optional<QPoint> LeastCoveringPlace(const QRect& area, QSize size, QPoint want, const std::vector<QRect>& avoid,
                                         const std::vector<TCover>& covers, int step = 4);
// What the windows' frame covers of covers (weighted pixels).
long long CoveredWeight(const QRect& r, const std::vector<TCover>& covers);

// What the tool windows keep clear of.
struct TScreenLayout {
    QRect Area;      // the screen's available area
    QRect Menu;      // the main menu bar (empty: none shown)
    QRect Keys;      // the switchboard keys and the channel buttons (empty: none shown)
    QRect Dialogues; // where the dialogues open (empty: none)
    QRect Status;    // the status bar (empty: none shown)
    std::vector<TCover> Diagram; // the shown track diagram
};

// The weight of a pixel of the parks' tracks and of the signals, and of the other elements of
// the diagram (switch posts, lamps, captions).
constexpr int kTrackWeight = 32;
constexpr int kElementWeight = 1;

// The places of the channel windows of these sizes (frames included), in the order of the channel
// buttons: train radio, loudspeaker, shunting radio. Each wants its slot of a row below the main
// menu and takes the free place covering least of the diagram nearest to it; where the screen
// leaves none clear of the dialogues, then of the keys and the status bar, it gives those up in
// that order, never the others' places.
std::vector<QPoint> ChannelWindowPlaces(const TScreenLayout& screen, const std::vector<QSize>& sizes);

// The place of a tool window designed at `designed`: on the screen, clear of the keys, the status
// bar, the menu and `others`, covering least of the diagram, nearest to the designed place (kept
// when it covers nothing). Where no place is clear of the keys and the status bar, they count as
// covers, lighter than the diagram's tracks.
QPoint ToolWindowPlace(const TScreenLayout& screen, const QRect& designed, const std::vector<QRect>& others = {});

class TForm;
// Gives the channel windows, the error list, the route-section, information and help windows
// their placement each time they show, and moves them off the keys and the status bar again when
// the panel scrolls or the main window changes size (a place the trainee chose stays while it
// leaves those free). Call once all windows exist.
void PlaceTrainerToolWindows();
// Places the shown tool windows again where they cover the keys, the status bar or the menu, or
// (where the program placed them) more of the diagram than they need to.
void KeepToolWindowsClear();
// The screen as the main window shows it now.
TScreenLayout CurrentScreenLayout();
// The window's rectangle with its frame (the frame estimated before the first show).
QRect FramedRect(const TForm& f);
