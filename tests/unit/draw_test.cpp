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
        GameFixture::SetUp();
        clearPictures();
        target = create_bitmap(640, 480);
        clear_to_color(target, makecol(255, 0, 0));
    }
    void TearDown() override {
        destroy_bitmap(target);
        GameFixture::TearDown();
    }

    // The menu: a grey background, a 100x40 Play button and larger other
    // buttons, each picture in its own colour.
    void installMenu() {
        setPicture(251, solid(640, 480, 90, 90, 90));
        setPicture(245, solid(100, 40, 10, 0, 0));   // play
        setPicture(246, solid(100, 40, 11, 0, 0));   // playon
        setPicture(242, solid(120, 50, 20, 0, 0));   // options
        setPicture(243, solid(120, 50, 21, 0, 0));   // optionson
        setPicture(247, solid(120, 50, 30, 0, 0));   // help
        setPicture(248, solid(120, 50, 31, 0, 0));   // helpon
        setPicture(249, solid(120, 50, 40, 0, 0));   // quit
        setPicture(250, solid(120, 50, 41, 0, 0));   // quiton
    }

    // A dirt background whose every pixel tells where it came from.
    void installBoardPictures() {
        BITMAP* dirt = create_bitmap(640, 480);
        for (int y = 0; y < 480; ++y)
            for (int x = 0; x < 640; ++x) putpixel(dirt, x, y, makecol(x / 4, y / 4, 200));
        setPicture(DirtBackground, dirt);
        setPicture(Dirt, solid(32, 32, 255, 0, 255));  // all mask colour
        // A tunnel tile with a magenta hole in its middle.
        BITMAP* tunnel = solid(32, 32, 0, 0, 0);
        rectfill(tunnel, 8, 8, 23, 23, makecol(255, 0, 255));
        setPicture(Tunnel, tunnel);
        setPicture(Rock, solid(32, 32, 120, 120, 120));
        setPicture(DogTile, solid(32, 32, 250, 200, 0));
        // The bone covers only the left half of its cell.
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

    // The text a caption must show, drawn the way the playing screen does,
    // into a fresh copy of what the board pass left.
    BITMAP* expectedCaption(const std::string& text, BITMAP* under) {
        BITMAP* ref = create_bitmap(640, 480);
        blit(under, ref, 0, 0, 0, 0, 640, 480);
        int halo = makecol(200, 200, 200);
        textout_centre_ex(ref, font, text.c_str(), 319, 12, halo, -1);
        textout_centre_ex(ref, font, text.c_str(), 321, 12, halo, -1);
        textout_centre_ex(ref, font, text.c_str(), 320, 13, halo, -1);
        textout_centre_ex(ref, font, text.c_str(), 321, 11, halo, -1);
        textout_centre_ex(ref, font, text.c_str(), 320, 12, makecol(20, 20, 20), -1);
        return ref;
    }

    // Draws the playing screen with a title and compares the top row with
    // the text expected there.
    int captionDifferences(int number, const std::string& title, const std::string& expected) {
        installBoardPictures();
        fillBoard(Dirt);
        game->dogRow = game->boneRow = 10;
        game->levelNumber = number;
        game->levelTitle = title;
        drawMode(LevelEditor);  // the same board without a caption
        BITMAP* ref = expectedCaption(expected, target);
        drawMode(Playing);
        int n = differences(target, ref, 0, 0, 640, 32);
        destroy_bitmap(ref);
        return n;
    }

    BITMAP* target = nullptr;
};

TEST_F(DrawTest, MenuHighlightsTheSelectedButtonInAColumnPlacedByThePlayPicture) {
    installMenu();
    // Play, Options, Help, Quit from the top: y = 480 - 4*40 ... 480 - 40;
    // the taller pictures overlap the one drawn before them, so look low.
    const int tops[4] = {320, 360, 400, 440};
    const int reds[4] = {10, 20, 30, 40};
    for (int sel = -1; sel <= 4; ++sel) {
        SCOPED_TRACE(sel);
        game->selection = sel;
        drawMode(MainMenu);
        for (int b = 0; b < 4; ++b) {
            int lit = (b == sel) ? 1 : 0;
            EXPECT_TRUE(isColour(target, 545, tops[b] + 35, reds[b] + lit, 0, 0)) << "button " << b;
        }
        // The larger pictures are not re-centred by their own size.
        EXPECT_TRUE(isColour(target, 530, 445, 90, 90, 90));
        EXPECT_TRUE(isColour(target, 10, 10, 90, 90, 90));
        EXPECT_FALSE(game->redrawNeeded);
    }
}

TEST_F(DrawTest, BoardShowsEachCellsPieceOfTheDirtUnderItsTile) {
    installBoardPictures();
    fillBoard(Tunnel);
    game->board[3][4] = Dirt;     // all mask colour: only dirt shows
    game->board[5][6] = 100;      // a code with no picture
    game->board[0][0] = Dirt;     // the sky rows take the same pass
    game->dogColumn = 19;
    game->dogRow = 14;
    game->boneColumn = 18;
    game->boneRow = 14;
    drawMode(Playing);

    for (int y = 96; y < 128; y += 7)
        for (int x = 128; x < 160; x += 7) EXPECT_TRUE(isDirtAt(x, y)) << x << "," << y;
    EXPECT_TRUE(isDirtAt(6 * 32 + 3, 5 * 32 + 30));
    EXPECT_TRUE(isDirtAt(2, 30));
    // A tunnel tile: opaque border, background through its hole.
    EXPECT_TRUE(isColour(target, 64 + 2, 64 + 2, 0, 0, 0));
    EXPECT_TRUE(isDirtAt(64 + 16, 64 + 16));
    EXPECT_TRUE(isDirtAt(19 * 32 + 16, 13 * 32 + 16));
}

TEST_F(DrawTest, FallingRockDogAndBoneAreDrawnAfterTheBoard) {
    installBoardPictures();
    fillBoard(Dirt);
    game->dogColumn = game->boneColumn = 5;
    game->dogRow = game->boneRow = 7;
    game->fallingRockX = 300;
    game->fallingRockY = 101;
    game->rockFalling = true;
    drawMode(Playing);
    // The bone covers the dog where they overlap; the dog shows elsewhere.
    EXPECT_TRUE(isColour(target, 5 * 32 + 4, 7 * 32 + 4, 240, 240, 240));
    EXPECT_TRUE(isColour(target, 5 * 32 + 28, 7 * 32 + 4, 250, 200, 0));
    EXPECT_TRUE(isColour(target, 300, 101, 120, 120, 120));
    EXPECT_TRUE(isColour(target, 331, 132, 120, 120, 120));
    EXPECT_TRUE(isDirtAt(299, 101));

    // An old rock position is not drawn once nothing falls; the dog's
    // offset moves it within its step.
    game->rockFalling = false;
    game->boneColumn = 0;
    game->boneRow = 10;
    game->dogOffsetX = 6;
    game->dogOffsetY = -2;
    drawMode(Playing);
    EXPECT_TRUE(isDirtAt(300, 101));
    EXPECT_TRUE(isDirtAt(5 * 32 + 5, 7 * 32 + 10));
    EXPECT_TRUE(isColour(target, 5 * 32 + 6, 7 * 32 - 2, 250, 200, 0));
    EXPECT_TRUE(isDirtAt(5 * 32 + 10, 7 * 32 + 30));
}

TEST_F(DrawTest, EditorDrawsTheBoardWithoutACaption) {
    installBoardPictures();
    fillBoard(Dirt);
    game->dogRow = game->boneRow = 10;
    game->levelTitle = "Anything";
    drawMode(LevelEditor);
    for (int x = 200; x < 440; ++x)
        for (int y = 10; y < 22; ++y) ASSERT_TRUE(isDirtAt(x, y)) << x << "," << y;
}

TEST_F(DrawTest, CaptionPrintsTheTitleLiterallyWithItsHalo) {
    EXPECT_EQ(captionDifferences(3, "", "Level #3: \"\""), 0);
    EXPECT_EQ(captionDifferences(12, "100% %s %d %n", "Level #12: \"100% %s %d %n\""), 0);
    EXPECT_EQ(captionDifferences(-4, "Rocks & roots", "Level #-4: \"Rocks & roots\""), 0);
    // The halo really is there: light pixels above and beside the dark text.
    EXPECT_NE(captionDifferences(3, "", "Level #3: \"x\""), 0);
    bool dark = false, light = false;
    for (int y = 10; y < 22; ++y)
        for (int x = 250; x < 400; ++x) {
            dark = dark || isColour(target, x, y, 20, 20, 20);
            light = light || isColour(target, x, y, 200, 200, 200);
        }
    EXPECT_TRUE(dark);
    EXPECT_TRUE(light);
}

TEST_F(DrawTest, LevelWonShowsThePictureCentredAndTheRightRecordLine) {
    setPicture(253, solid(200, 100, 0, 0, 250));
    struct Case { int record, moves; const char* line; };
    const Case cases[] = {
        {-1, 15, "This is a new record!"},
        {-1, 0, "This is a new record!"},
        {12, 15, "The high score for this level is 12."},
        {15, 15, "You tied for the high score."},
        {16, 15, nullptr},
        {2147483647, 15, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.record);
        clear_to_color(target, makecol(255, 0, 0));
        game->recordMoves = c.record;
        game->moveCount = c.moves;
        drawMode(LevelWon);

        BITMAP* ref = create_bitmap(640, 480);
        clear_bitmap(ref);
        rectfill(ref, 220, 190, 419, 289, makecol(0, 0, 250));
        textprintf_centre_ex(ref, font, 320, 390, makecol(50, 150, 50), -1,
                             "Congratulations! You beat the level in only %i moves.", c.moves);
        if (c.line) textout_centre_ex(ref, font, c.line, 320, 420, makecol(150, 150, 150), -1);
        EXPECT_EQ(differences(target, ref, 0, 0, 640, 480), 0);
        destroy_bitmap(ref);
    }
}

TEST_F(DrawTest, HelpScreenCopiesItsPictureWithoutClearingTheRest) {
    setPicture(244, solid(300, 200, 0, 90, 0));
    drawMode(HelpScreen);
    EXPECT_TRUE(isColour(target, 0, 0, 0, 90, 0));
    EXPECT_TRUE(isColour(target, 299, 199, 0, 90, 0));
    EXPECT_TRUE(isColour(target, 300, 10, 255, 0, 0));
    EXPECT_TRUE(isColour(target, 639, 479, 255, 0, 0));
}

TEST_F(DrawTest, NothingIsDrawnWithoutARedrawRequest) {
    installMenu();
    for (int mode : {MainMenu, Playing, LevelWon, HelpScreen, LevelEditor}) {
        SCOPED_TRACE(mode);
        game->screenMode = mode;
        game->redrawNeeded = false;
        game->drawScreen(target);
        EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0));
        EXPECT_FALSE(game->redrawNeeded);
    }
    // An unknown mode draws nothing, yet the request is consumed.
    drawMode(7);
    EXPECT_TRUE(isColour(target, 100, 100, 255, 0, 0));
    EXPECT_FALSE(game->redrawNeeded);
}

TEST_F(DrawTest, MissingPicturesAreLeftOut) {
    fillBoard(Tunnel);
    game->board[2][2] = 77;
    game->rockFalling = true;
    for (int mode : {MainMenu, Playing, LevelWon, HelpScreen, LevelEditor}) {
        drawMode(mode);
        EXPECT_FALSE(game->redrawNeeded);
    }
    // Without a dirt background an empty cell is black, not a stale frame.
    drawMode(Playing);
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

    const uint8_t common[] = {BlackRock, Rock, SkyTop, Dirt, Tunnel, SkyBottom, 100, 254, 255};
    std::mt19937 rng(20261206);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    BITMAP* layered = create_bitmap(640, 480);
    BITMAP* direct = create_bitmap(640, 480);
    fillBoard(Dirt);
    for (int frame = 0; frame < 300; ++frame) {
        SCOPED_TRACE(frame);
        int changes = frame % 50 == 0 ? 300 : pick(8);
        for (int i = 0; i < changes; ++i) {
            game->board[pick(15)][pick(20)] = common[pick(9)];
        }
        // For a few frames a tile larger than its cell stands on the board.
        if (frame % 100 == 40) game->board[3][5] = 3;
        if (frame % 100 == 45) game->board[3][5] = Dirt;
        if (frame % 37 == 36)
            game->tileImages[DirtBackground] =
                game->tileImages[DirtBackground] == firstDirt ? otherDirt : firstDirt;
        if (frame % 61 == 60) game->tileImages[DirtBackground] = nullptr;
        if (frame % 61 == 1 && frame > 1) game->tileImages[DirtBackground] = firstDirt;
        // A smaller board now and then: the layer must follow its size.
        game->boardWidth = frame % 90 < 10 ? 11 : 20;
        game->boardHeight = frame % 90 < 10 ? 7 : 15;

        int junk = makecol(pick(256), pick(256), pick(256));
        clear_to_color(layered, junk);
        clear_to_color(direct, junk);
        drawBoardCellsLayered(*game, layered);
        drawBoardCellsDirect(*game, direct);
        for (int y = 0; y < 480; ++y)
            ASSERT_EQ(std::memcmp(layered->line[y], direct->line[y], 640 * 4), 0) << "row " << y;
    }
    game->boardWidth = 20;
    game->boardHeight = 15;
    game->tileImages[DirtBackground] = firstDirt;
    destroy_bitmap(otherDirt);
    destroy_bitmap(layered);
    destroy_bitmap(direct);
}

}  // namespace
