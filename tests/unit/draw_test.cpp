#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "play/tiles.h"
#include "presentation_fixture.h"

using presentation_test::differences;
using presentation_test::isColour;
using presentation_test::solid;

namespace {

class DrawTest : public presentation_test::GameFixture {
protected:
    void SetUp() override {
        for (int slot = 0; slot < 256; ++slot) setPicture(slot, nullptr);
        clear_to_color(target, makecol(255, 0, 0));
    }
    void TearDown() override { destroy_bitmap(target); }

    // A dirt background whose every pixel tells where it came from, a
    // tunnel with a magenta hole, and a bone covering only its left half.
    void installBoardPictures() {
        BITMAP* dirt = create_bitmap(640, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) putpixel(dirt, x, y, makecol(x / 4, y / 4, 200));
        setPicture(DirtBackground, dirt);
        setPicture(Dirt, solid(32, 32, 255, 0, 255));
        BITMAP* tunnel = solid(32, 32, 0, 0, 0);
        rectfill(tunnel, 8, 8, 23, 23, makecol(255, 0, 255));
        setPicture(Tunnel, tunnel);
        setPicture(Rock, solid(32, 32, 120, 120, 120));
        setPicture(DogTile, solid(32, 32, 250, 200, 0));
        BITMAP* bone = solid(32, 32, 255, 0, 255);
        rectfill(bone, 0, 0, 15, 31, makecol(240, 240, 240));
        setPicture(BoneTile, bone);
    }

    void drawMode(int mode) {
        game->screenMode = mode;
        game->redrawNeeded = true;
        game->drawScreen(target);
    }

    bool isDirtAt(int x, int y) { return isColour(target, x, y, x / 4, y / 4, 200); }

    // Draws the playing screen with a title; returns how far its top row is
    // from the expected text drawn with a halo over the editor's board.
    int captionDifferences(int number, const std::string& title, const std::string& expected) {
        game->levelNumber = number;
        game->levelTitle = title;
        drawMode(LevelEditor);
        int editorText = 0;
        for (int y = 10; y < 22; ++y)
            for (int x = 0; x < 640; ++x) editorText += !isDirtAt(x, y);
        EXPECT_EQ(editorText, 0) << "the editor shows no caption";
        BITMAP* ref = create_bitmap(640, 480);
        blit(target, ref, 0, 0, 0, 0, 640, 480);
        const int halo = makecol(200, 200, 200);
        const int haloAt[4][2] = {{-1, 0}, {1, 0}, {0, 1}, {1, -1}};
        for (auto [dx, dy] : haloAt) textout_centre_ex(ref, font, expected.c_str(), 320 + dx, 12 + dy, halo, -1);
        textout_centre_ex(ref, font, expected.c_str(), 320, 12, makecol(20, 20, 20), -1);
        drawMode(Playing);
        // Only the caption's own span: the score line stands beside it.
        const int half = text_length(font, expected.c_str()) / 2 + 2;
        int n = differences(target, ref, 320 - half, 0, 320 + half, 32);
        destroy_bitmap(ref);
        return n;
    }

    BITMAP* target = create_bitmap(640, 480);
};

TEST_F(DrawTest, MenuHighlightsTheSelectedButtonInAColumnPlacedByThePlayPicture) {
    // A 100x40 Play button and larger others: the column follows Play's size,
    // so the taller pictures overlap the one above them; look low in each.
    setPicture(251, solid(640, 480, 90, 90, 90));
    const int slots[4][2] = {{245, 246}, {242, 243}, {247, 248}, {249, 250}};
    for (int b = 0; b < 4; ++b)
        for (int lit = 0; lit < 2; ++lit) {
            int grow = b == 0 ? 0 : 10;
            setPicture(slots[b][lit], solid(100 + 2 * grow, 40 + grow, 10 * (b + 1) + lit, 0, 0));
        }
    for (int sel = -1; sel <= 4; ++sel) {
        SCOPED_TRACE(sel);
        game->selection = sel;
        drawMode(MainMenu);
        for (int b = 0; b < 4; ++b)
            EXPECT_TRUE(isColour(target, 545, 320 + 40 * b + 35, 10 * (b + 1) + (b == sel), 0, 0)) << b;
        EXPECT_TRUE(isColour(target, 530, 445, 90, 90, 90));
        EXPECT_TRUE(isColour(target, 10, 10, 90, 90, 90));
        EXPECT_FALSE(game->redrawNeeded);
    }
}

TEST_F(DrawTest, BoardCellsShowTheirPieceOfDirtThenRockDogAndBone) {
    installBoardPictures();
    fillBoard(Tunnel);
    game->board[3][4] = Dirt;  // all mask colour: only dirt shows
    game->board[5][6] = 100;   // a code with no picture
    game->board[0][0] = Dirt;  // the sky rows take the same pass
    game->dogColumn = game->boneColumn = 5;
    game->dogRow = game->boneRow = 7;
    game->fallingRockX = 300;
    game->fallingRockY = 101;
    game->rockFalling = true;
    drawMode(Playing);
    for (int y = 96; y < 128; y += 7)
        for (int x = 128; x < 160; x += 7) EXPECT_TRUE(isDirtAt(x, y)) << x << "," << y;
    EXPECT_TRUE(isDirtAt(6 * 32 + 3, 5 * 32 + 30));
    EXPECT_TRUE(isDirtAt(2, 30));
    EXPECT_TRUE(isColour(target, 64 + 2, 64 + 2, 0, 0, 0));  // tunnel border
    EXPECT_TRUE(isDirtAt(64 + 16, 64 + 16));                 // through its hole
    // The bone covers the dog where they overlap; the dog shows elsewhere.
    EXPECT_TRUE(isColour(target, 5 * 32 + 4, 7 * 32 + 4, 240, 240, 240));
    EXPECT_TRUE(isColour(target, 5 * 32 + 28, 7 * 32 + 4, 250, 200, 0));
    EXPECT_TRUE(isColour(target, 300, 101, 120, 120, 120));
    EXPECT_TRUE(isColour(target, 331, 132, 120, 120, 120));
    EXPECT_FALSE(isColour(target, 299, 101, 120, 120, 120));

    // No rock once nothing falls; the dog's offset moves it within its step.
    fillBoard(Dirt);
    game->rockFalling = false;
    game->boneRow = 10;
    game->dogOffsetX = 6;
    game->dogOffsetY = -2;
    drawMode(Playing);
    EXPECT_TRUE(isDirtAt(300, 101));
    EXPECT_TRUE(isDirtAt(5 * 32 + 5, 7 * 32 + 10));
    EXPECT_TRUE(isColour(target, 5 * 32 + 6, 7 * 32 - 2, 250, 200, 0));
    EXPECT_TRUE(isDirtAt(5 * 32 + 10, 7 * 32 + 30));
}

TEST_F(DrawTest, CaptionPrintsTheTitleLiterallyWithItsHaloAndOnlyWhilePlaying) {
    installBoardPictures();
    fillBoard(Dirt);
    game->dogRow = game->boneRow = 10;
    EXPECT_EQ(captionDifferences(3, "", "Level #3: \"\""), 0);
    EXPECT_EQ(captionDifferences(12, "100% %s %d %n", "Level #12: \"100% %s %d %n\""), 0);
    EXPECT_EQ(captionDifferences(-4, "Rocks & roots", "Level #-4: \"Rocks & roots\""), 0);
    // The comparison does look: a wrong text is seen.
    EXPECT_NE(captionDifferences(3, "", "Level #3: \"x\""), 0);
}

TEST_F(DrawTest, LevelWonShowsThePictureCentredAndTheRightRecordLine) {
    setPicture(253, solid(200, 100, 0, 0, 250));
    const struct { int record, moves; const char* line; } cases[] = {
        {-1, 15, "This is a new record!"},
        {-1, 0, "This is a new record!"},
        {12, 15, "The high score for this level is 12."},
        {15, 15, "You tied for the high score."},
        {16, 15, nullptr},
        {2147483647, 15, nullptr},
    };
    BITMAP* ref = create_bitmap(640, 480);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.record);
        clear_to_color(target, makecol(255, 0, 0));
        game->recordMoves = c.record;
        game->moveCount = c.moves;
        drawMode(LevelWon);
        clear_bitmap(ref);
        rectfill(ref, 220, 190, 419, 289, makecol(0, 0, 250));
        textprintf_centre_ex(ref, font, 320, 390, makecol(50, 150, 50), -1,
                             "Congratulations! You beat the level in only %i moves.", c.moves);
        if (c.line) textout_centre_ex(ref, font, c.line, 320, 420, makecol(150, 150, 150), -1);
        EXPECT_EQ(differences(target, ref, 0, 0, 640, 440), 0);  // the fewest-moves line below is tested apart
    }
    destroy_bitmap(ref);
}

TEST_F(DrawTest, HelpScreenCopiesItsPictureWithoutClearingTheRest) {
    setPicture(244, solid(300, 200, 0, 90, 0));
    drawMode(HelpScreen);
    EXPECT_TRUE(isColour(target, 0, 0, 0, 90, 0));
    EXPECT_TRUE(isColour(target, 299, 199, 0, 90, 0));
    EXPECT_TRUE(isColour(target, 300, 10, 255, 0, 0));
    EXPECT_TRUE(isColour(target, 639, 479, 255, 0, 0));
}

TEST_F(DrawTest, NothingIsDrawnWithoutARedrawRequestAndMissingPicturesAreLeftOut) {
    setPicture(251, solid(640, 480, 90, 90, 90));
    for (int mode : {MainMenu, Playing, LevelWon, HelpScreen, LevelEditor}) {
        SCOPED_TRACE(mode);
        game->screenMode = mode;
        game->redrawNeeded = false;
        game->drawScreen(target);
        EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0));
    }
    drawMode(7);  // an unknown mode draws nothing, yet the request is consumed
    EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0));
    EXPECT_FALSE(game->redrawNeeded);

    setPicture(251, nullptr);
    fillBoard(Tunnel);
    game->board[2][2] = 77;
    game->rockFalling = true;
    for (int mode : {MainMenu, LevelWon, HelpScreen, LevelEditor, Playing}) {
        drawMode(mode);
        EXPECT_FALSE(game->redrawNeeded);
    }
    // Without a dirt background an empty cell is black, not a stale frame.
    EXPECT_TRUE(isColour(target, 2 * 32 + 5, 2 * 32 + 5, 0, 0, 0));
    EXPECT_TRUE(isColour(target, 5, 300, 0, 0, 0));
}

TEST_F(DrawTest, LayeredBoardGivesTheSamePixelsAsTheDirectPass) {
    installBoardPictures();
    BITMAP* rockInDirt = solid(32, 32, 255, 0, 255);
    circlefill(rockInDirt, 16, 16, 12, makecol(130, 120, 110));
    setPicture(Rock, rockInDirt);
    setPicture(SkyTop, solid(32, 32, 120, 180, 250));
    setPicture(BlackRock, solid(32, 32, 5, 5, 5));
    setPicture(3, solid(40, 40, 0, 255, 0));  // spills into its neighbours
    BITMAP* otherDirt = create_bitmap(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) putpixel(otherDirt, x, y, makecol(y / 2, 60, x / 3));
    BITMAP* firstDirt = game->tileImages[DirtBackground];

    const uint8_t codes[] = {BlackRock, Rock, SkyTop, Dirt, Tunnel, SkyBottom, 100, 254, 255};
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    BITMAP* layered = create_bitmap(640, 480);
    BITMAP* direct = create_bitmap(640, 480);
    fillBoard(Dirt);
    for (int frame = 0; frame < 300; ++frame) {
        SCOPED_TRACE(frame);
        int changes = frame % 50 == 0 ? 300 : pick(8);
        for (int i = 0; i < changes; ++i) game->board[pick(15)][pick(20)] = codes[pick(9)];
        // Now and then: a tile larger than its cell, another or no dirt
        // picture.
        if (frame % 100 == 40) game->board[3][5] = 3;
        if (frame % 100 == 45) game->board[3][5] = Dirt;
        BITMAP*& dirt = game->tileImages[DirtBackground];
        if (frame % 37 == 36) dirt = dirt == firstDirt ? otherDirt : firstDirt;
        if (frame % 61 == 60) dirt = nullptr;
        if (frame % 61 == 1 && frame > 1) dirt = firstDirt;

        int junk = makecol(pick(256), pick(256), pick(256));
        clear_to_color(layered, junk);
        clear_to_color(direct, junk);
        drawBoardCellsLayered(*game, layered);
        drawBoardCellsDirect(*game, direct);
        for (int y = 0; y < 480; ++y)
            ASSERT_EQ(std::memcmp(layered->line[y], direct->line[y], 640 * 4), 0) << "row " << y;
    }
    game->tileImages[DirtBackground] = firstDirt;
    destroy_bitmap(otherDirt);
    destroy_bitmap(layered);
    destroy_bitmap(direct);
}

}  // namespace
