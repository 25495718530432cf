// Where the tool windows open on a laptop screen: the channel windows apart from each other, the
// keys and the dialogues; the error list and the route sections off the keys.
#include <gtest/gtest.h>

#include "app/WindowPlaces.h"

namespace {

// The sample station's main window maximised on 1366 x 768 (frames included):
//   menu bar        0..1366 x 20..45
//   dialogues       the largest of them centred: 403..963 x 237..531
//   keys + channel  10..860 x 685..729
TScreenLayout Laptop()
{
    return {QRect(0, 0, 1366, 768), QRect(0, 20, 1366, 25), QRect(10, 685, 850, 44), QRect(403, 237, 560, 294), {}, {}};
}

const std::vector<QSize> kChannelSizes = {QSize(268, 192), QSize(308, 162), QSize(308, 162)};

std::vector<QRect> Rects(const std::vector<QPoint>& places)
{
    std::vector<QRect> r;
    for (size_t i = 0; i < places.size(); ++i) r.emplace_back(places[i], kChannelSizes[i]);
    return r;
}

TEST(WindowPlaces, ChannelWindowsOpenApartFromEachOtherTheKeysTheMenuAndTheDialogues)
{
    const TScreenLayout s = Laptop();
    std::vector<QRect> r = Rects(ChannelWindowPlaces(s, kChannelSizes));
    ASSERT_EQ(r.size(), 3u);
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_TRUE(s.Area.contains(r[i])) << i;
        EXPECT_FALSE(r[i].intersects(s.Menu)) << i;
        EXPECT_FALSE(r[i].intersects(s.Keys)) << i;
        EXPECT_FALSE(r[i].intersects(s.Dialogues)) << i;
        for (size_t j = i + 1; j < r.size(); ++j) EXPECT_FALSE(r[i].intersects(r[j])) << i << " " << j;
    }
    // In the order of the channel buttons, from the left.
    EXPECT_LT(r[0].left(), r[1].left());
    EXPECT_LT(r[1].left(), r[2].left());

    // On 1024 x 600 the middle cannot be kept free; the windows still keep off each other, the
    // menu and the keys.
    TScreenLayout small{QRect(0, 0, 1024, 600), QRect(0, 20, 1024, 25), QRect(10, 560, 850, 40),
                        QRect(232, 153, 560, 294), {}, {}};
    r = Rects(ChannelWindowPlaces(small, kChannelSizes));
    for (size_t i = 0; i < r.size(); ++i) {
        EXPECT_TRUE(small.Area.contains(r[i])) << i;
        EXPECT_FALSE(r[i].intersects(small.Menu)) << i;
        EXPECT_FALSE(r[i].intersects(small.Keys)) << i;
        for (size_t j = i + 1; j < r.size(); ++j) EXPECT_FALSE(r[i].intersects(r[j])) << i << " " << j;
    }
}

TEST(WindowPlaces, ToolWindowsKeepTheirDesignedPlaceOnlyWhenItIsClearOfTheKeys)
{
    const TScreenLayout s = Laptop();
    // The error list and the route sections as designed for a larger screen.
    QRect error(10, 690, 768, 192), sections(780, 700, 438, 182);
    QRect placedError(ToolWindowPlace(s, error), error.size());
    QRect placedSections(ToolWindowPlace(s, sections, {placedError}), sections.size());
    for (const QRect& r : {placedError, placedSections}) {
        EXPECT_TRUE(s.Area.contains(r));
        EXPECT_FALSE(r.intersects(s.Keys));
        EXPECT_FALSE(r.intersects(s.Menu));
    }
    EXPECT_FALSE(placedError.intersects(placedSections));
    // Where the designed place is clear it is kept.
    TScreenLayout large{QRect(0, 0, 1920, 1080), QRect(0, 20, 1920, 25), QRect(10, 685, 850, 44), QRect(), {}, {}};
    EXPECT_EQ(ToolWindowPlace(large, QRect(870, 760, 438, 182)), QPoint(870, 760));
}

TEST(WindowPlaces, NoPlaceWhereNothingFits)
{
    EXPECT_FALSE(NearestFreePlace(QRect(0, 0, 100, 100), QSize(120, 10), QPoint(0, 0), {}));
    EXPECT_FALSE(NearestFreePlace(QRect(0, 0, 100, 100), QSize(50, 50), QPoint(0, 0), {QRect(20, 20, 60, 60)}));
    EXPECT_EQ(NearestFreePlace(QRect(0, 0, 100, 100), QSize(50, 50), QPoint(10, 12), {QRect(0, 0, 40, 100)}),
              QPoint(40, 12));
}

} // namespace

namespace {

// The panel on 1024 x 600 scrolled down to the keys (frames included):
//   menu bar           0..1024 x  20..45
//   parks' tracks      0..1024 x  45..200   (weight of tracks)
//   switch posts       0..1024 x 200..420   (weight of other elements)
//   keys + channel    10..860  x 520..560
//   status bar         0..1024 x 575..600
TEST(WindowPlaces, ToolWindowsCoverTheSwitchPostsRatherThanTheTracksAndNeverTheKeys)
{
    const QRect tracks(0, 45, 1024, 155), posts(0, 200, 1024, 220);
    const TScreenLayout s{QRect(0, 0, 1024, 600), QRect(0, 20, 1024, 25), QRect(10, 520, 850, 40), QRect(),
                          QRect(0, 575, 1024, 25), {{tracks, kTrackWeight}, {posts, kElementWeight}}};
    // The error list as designed for a larger screen, below the keys.
    const QRect error(10, 690, 768, 192);
    const QRect placed(ToolWindowPlace(s, error), error.size());
    EXPECT_TRUE(s.Area.contains(placed));
    EXPECT_FALSE(placed.intersects(s.Keys));
    EXPECT_FALSE(placed.intersects(s.Status));
    EXPECT_FALSE(placed.intersects(s.Menu));
    EXPECT_FALSE(placed.intersects(tracks));
    // The route sections beside it, clear of it too.
    const QRect sections(QPoint(780, 700), QSize(438, 182));
    const QRect second(ToolWindowPlace(s, sections, {placed}), sections.size());
    EXPECT_FALSE(second.intersects(placed));
    EXPECT_FALSE(second.intersects(s.Keys));
    // Where nothing is clear of the keys, they are covered rather than the tracks.
    const QRect tall(QPoint(0, 0), QSize(400, 500));
    const QRect forced(ToolWindowPlace(s, tall), tall.size());
    EXPECT_TRUE(s.Area.contains(forced));
    EXPECT_GT(forced.bottom(), s.Keys.top());
    EXPECT_EQ(CoveredWeight(forced, {{tracks, 1}}), CoveredWeight(QRect(0, 100, 400, 500), {{tracks, 1}}));
}

} // namespace
