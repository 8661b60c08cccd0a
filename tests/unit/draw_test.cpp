// The screens as a player sees them at chosen pixels; fades through black paced by the retrace; the shipped pictures sized and masked.

#include "fixture.h"

namespace {

class DrawTest : public GameFixture {
protected:
    void SetUp() override { for (int slot = 0; slot < 256; ++slot) setPicture(slot, nullptr); }
    void TearDown() override { destroy_bitmap(target); }
    BITMAP* target = solid(640, 480, 255, 0, 0);
};

TEST_F(DrawTest, MenuLightsTheSelectedButtonInAColumnPlacedByThePlayPicture) {
    setPicture(251, solid(640, 480, 90, 90, 90));
    const int slots[4][2] = {{245, 246}, {242, 243}, {247, 248}, {249, 250}};  // Play, Options, Help, Quit
    for (int b = 0; b < 4; ++b)
        for (int lit = 0; lit < 2; ++lit) setPicture(slots[b][lit], solid(b ? 120 : 100, b ? 50 : 40, 10 * (b + 1) + lit, 0, 0));
    for (int sel = -1; sel <= 4; ++sel) {
        game.selection = sel;
        drawMode(target, MainMenu);
        for (int b = 0; b < 4; ++b) EXPECT_TRUE(isColour(target, 545, 355 + 40 * b, 10 * (b + 1) + (b == sel), 0, 0)) << sel << b;
        EXPECT_TRUE(isColour(target, 530, 445, 90, 90, 90) && isColour(target, 10, 10, 90, 90, 90));
    }
}

TEST_F(DrawTest, CellsShowDirtThroughTheirHolesThenTheRockTheDogAndTheBoneOverHer) {
    BITMAP* dirt = create_bitmap(640, 480);  // every pixel tells where it came from
    for (int i = 0; i < 640 * 480; ++i) putpixel(dirt, i % 640, i / 640, makecol(i % 640 / 4, i / 640 / 4, 200));
    setPicture(DirtBackground, dirt);
    BITMAP* tunnel = solid(32, 32, 0, 0, 0);
    rectfill(tunnel, 8, 8, 23, 23, makecol(255, 0, 255));
    setPicture(Tunnel, tunnel);
    setPicture(Rock, solid(32, 32, 120, 120, 120));
    setPicture(DogTile, solid(32, 32, 250, 200, 0));
    BITMAP* bone = solid(32, 32, 255, 0, 255);
    rectfill(bone, 0, 0, 15, 31, makecol(240, 240, 240));
    setPicture(BoneTile, bone);
    memset(game.board, Tunnel, sizeof game.board);
    game.board[5][6] = 100;  // a code with no picture: dirt only
    game.dogColumn = game.boneColumn = 5, game.dogRow = game.boneRow = 7;
    game.fallingRockX = 300, game.fallingRockY = 101, game.rockFalling = true;
    drawMode(target, Playing);
    for (auto [x, y] : {std::pair{80, 80}, {6 * 32 + 3, 5 * 32 + 30}}) EXPECT_TRUE(isColour(target, x, y, x / 4, y / 4, 200)) << x;
    EXPECT_TRUE(isColour(target, 66, 66, 0, 0, 0));              // tunnel border
    EXPECT_TRUE(isColour(target, 164, 228, 240, 240, 240));       // the bone over the dog
    EXPECT_TRUE(isColour(target, 188, 228, 250, 200, 0));         // the dog beside it
    EXPECT_TRUE(isColour(target, 300, 101, 120, 120, 120) && isColour(target, 331, 132, 120, 120, 120));
    // Layered or straight, the board gives the same pixels, whatever changes.
    setPicture(3, solid(40, 40, 0, 255, 0));  // spills into its neighbours
    std::mt19937 rng(20261206);
    BITMAP *layered = create_bitmap(640, 480), *direct = create_bitmap(640, 480), *otherDirt = solid(640, 480, 60, 30, 10);
    const uint8_t codes[] = {BlackRock, Rock, SkyTop, 3, Dirt, Tunnel, 100, 254};
    for (int frame = 0; frame < 300; ++frame) {
        for (int n = rng() % 4; n > 0; --n) game.board[rng() % 15][rng() % 20] = codes[rng() % 8];
        if (frame % 37 == 36) game.tileImages[DirtBackground] = game.tileImages[DirtBackground] == dirt ? otherDirt : dirt;
        if (frame % 61 == 60) game.tileImages[DirtBackground] = nullptr;
        drawBoardCellsLayered(game, layered);
        drawBoardCellsDirect(game, direct);
        for (int y = 0; y < 480; ++y) ASSERT_EQ(memcmp(layered->line[y], direct->line[y], 640 * 4), 0) << frame;
    }
    game.tileImages[DirtBackground] = dirt;
    for (BITMAP* b : {otherDirt, layered, direct}) destroy_bitmap(b);
}

TEST_F(DrawTest, TheCaptionIsDarkOnALightHaloAtTheTopWhateverTheTitle) {
    std::mt19937 rng(42);
    for (int round = 0; round < 30; ++round) {
        std::string title(rng() % 40, ' ');
        for (char& c : title) c = static_cast<char>(' ' + rng() % 95);  // '%' among them
        game.setLevelTitle(title);
        game.setLevelNumber(static_cast<int>(rng() % 200) - 20);
        clear_bitmap(target);
        drawMode(target, Playing);
        const std::string caption = "Level #" + std::to_string(game.levelNumber) + ": \"" + title + "\"";
        // The caption's own span: the score line stands beside it.
        const int half = text_length(font, caption.c_str()) / 2 + 2;
        ASSERT_TRUE(lineShows(target, 12, caption, makecol(20, 20, 20), half)) << caption;
        int halo = 0;
        for (int i = 0; i < 640 * 10; ++i) halo += isColour(target, i % 640, 11 + i / 640, 200, 200, 200);
        EXPECT_GT(halo, 100) << caption;
    }
}

TEST_F(DrawTest, TheRestartQuestionStandsOutlinedInLightOverTheDimmedBoard) {
    setPicture(DirtBackground, solid(640, 480, 0, 250, 0)), setPicture(251, solid(640, 480, 0, 0, 250));  // the board, the garden
    game.screenMode = Playing;
    harness::holdKey(KEY_N, 100, 200);
    EXPECT_FALSE(game.askYesNo("Really restart the level (Y/N)?", true));
    int light = 0, below = getpixel(screen, 5, 470);
    for (int i = 0; i < 640 * 12; ++i) light += isColour(screen, i % 640, 236 + i / 640, 236, 220, 190);
    EXPECT_TRUE(getg(below) > 80 && getb(below) < 40 && light > 100) << light;
}

TEST_F(DrawTest, LevelWonShowsThePictureCentredAndTheRightRecordLine) {
    setPicture(253, solid(200, 100, 0, 0, 250));
    const struct { int record, moves; const char* line; } cases[] = {
        {-1, 15, "This is a new record!"}, {12, 15, "The high score for this level is 12."},
        {15, 15, "You tied for the high score."}, {16, 15, ""}, {2147483647, 15, ""}};
    for (const auto& c : cases) {
        game.recordMoves = c.record, game.moveCount = c.moves;
        drawMode(target, LevelWon);
        EXPECT_TRUE(isColour(target, 220, 190, 0, 0, 250) && isColour(target, 419, 289, 0, 0, 250) && isColour(target, 5, 5, 0, 0, 0));
        EXPECT_TRUE(lineShows(target, 390, "Congratulations! You beat the level in only 15 moves.", makecol(50, 150, 50)));
        EXPECT_TRUE(lineShows(target, 420, c.line, makecol(150, 150, 150))) << c.record;
    }
}

TEST_F(DrawTest, TheDogFacesTheWaySheGoes) {
    BITMAP* dog = solid(32, 32, 255, 0, 255);
    rectfill(dog, 20, 4, 31, 20, makecol(250, 200, 0));  // her head, on the right
    setPicture(DogTile, dog);
    const struct { int mode, direction; bool mirrored; } cases[] = {
        {Playing, Left, true}, {Playing, Right, false}, {Playing, None, false}, {LevelEditor, Left, false}};  // editor: the brush
    for (const auto& c : cases) {
        game.selection = c.direction;
        drawMode(target, c.mode);
        int wrong = 0;
        for (int i = 0; i < 32 * 32; ++i) {
            int x = i % 32, y = i / 32, want = getpixel(dog, c.mirrored ? 31 - x : x, y);
            wrong += want != makecol(255, 0, 255) && getpixel(target, game.dogColumn * 32 + x, game.dogRow * 32 + y) != want;
        }
        EXPECT_EQ(wrong, 0) << c.mode << " " << c.direction;
    }
}

TEST(Fade, FramesFollowTheSpeedAndBrightnessMovesOneWayToTheEnd) {
    BITMAP* image = solid(640, 480, 255, 255, 255);
    for (auto [in, speed, frames] : {std::tuple{true, 9, 29}, {true, 0, 16}, {true, -3, 16}, {true, 256, 1}, {true, 2147483647, 1},
                                     {false, 9, 28}, {false, 4, 63}, {false, 0, 15}, {false, 255, 0}, {false, 2147483647, 0}}) {
        // The red of one pixel at every retrace: the frame shown before it.
        std::vector<int> reds;
        for (int i = 1; i <= frames + 1; ++i) harness::at(harness::nowMs + 16UL * i, [&] { reds.push_back(getr(getpixel(screen, 50, 50))); });
        clear_to_color(screen, makecol(in ? 0 : 255, in ? 0 : 255, 255));
        const unsigned long before = harness::vsyncCount;
        in ? fadeIn(image, speed) : fadeOut(speed);
        EXPECT_EQ(harness::vsyncCount - before, static_cast<unsigned long>(frames)) << in << " " << speed;
        for (size_t i = 2; i < reds.size(); ++i) EXPECT_TRUE(in ? reds[i] > reds[i - 1] : reds[i] < reds[i - 1]) << speed << " " << i;
        EXPECT_TRUE(reds.size() <= 2 || (in ? reds[1] == 0 && reds.back() < 255 : reds[1] < 255 && reds.back() > 0));
        EXPECT_TRUE(isColour(screen, 639, 479, in ? 255 : 0, in ? 255 : 0, in ? 255 : 0)) << in << " " << speed;
        harness::reset();
    }
    destroy_bitmap(image);
    image = solid(100, 80, 200, 100, 50);  // a small picture leaves the rest black; none is harmless
    fadeIn(image, 64);
    EXPECT_TRUE(isColour(screen, 99, 79, 200, 100, 50) && isColour(screen, 100, 10, 0, 0, 0));
    destroy_bitmap(image);
    fadeIn(nullptr, 9);
}

bool isMask(int c) { return c == makecol(255, 0, 255); }

TEST(Pictures, EachHasItsSizeIsNotBlankUsesMagentaOnlyWhereTransparentAndFitsItsNeighbours) {
    // Opaque ones are copied or cover their cell; sprites let what is beneath show. Size 0: checked against the others below.
    const struct { const char* name; int w, h; bool sprite; } pictures[] = {
        {"black_rock", 32, 32, false}, {"rock", 32, 32, true}, {"skytop", 32, 32, false}, {"skybottom", 32, 32, false},
        {"skybottom_destroyed", 32, 32, false}, {"dirt_bg3", 640, 480, false}, {"zada", 32, 32, true}, {"bone", 32, 32, true},
        {"zada_wins", 0, 0, false}, {"menu/menu_bg", 640, 480, false}, {"menu/help_bg", 640, 480, false},
        {"menu/play", 0, 0, true}, {"menu/playon", 0, 0, true}, {"menu/options", 0, 0, true}, {"menu/optionson", 0, 0, true},
        {"menu/help", 0, 0, true}, {"menu/helpon", 0, 0, true}, {"menu/quit", 0, 0, true}, {"menu/quiton", 0, 0, true}};
    std::map<std::string, BITMAP*> p;
    for (const auto& want : pictures) {
        BITMAP* b = p[want.name] = load_pcx((harness::dataDir() + "/graphics/" + want.name + ".pcx").c_str(), nullptr);
        ASSERT_NE(b, nullptr) << want.name;
        EXPECT_TRUE(!want.w || (b->w == want.w && b->h == want.h)) << want.name;
        std::set<int> colours;
        int mask = 0, fringe = 0;  // fringe: a soft edge blended toward magenta shows pink
        for (int i = 0; i < b->w * b->h; ++i) {
            int c = getpixel(b, i % b->w, i / b->w);
            mask += isMask(c);
            fringe += !isMask(c) && getr(c) > 190 && getg(c) < 90 && getb(c) > 190;
            colours.insert(c);
        }
        EXPECT_TRUE(colours.size() >= 5 && fringe == 0) << want.name;
        EXPECT_TRUE(want.sprite ? isMask(getpixel(b, 0, 0)) && isMask(getpixel(b, b->w - 1, b->h - 1)) : mask == 0) << want.name;
    }
    // A falling rock (the sprite over a tunnel) looks exactly like the landed one.
    for (int i = 0; i < 32 * 32; ++i) {
        int falling = getpixel(p["rock"], i % 32, i / 32);
        ASSERT_EQ(isMask(falling) ? makecol(0, 0, 0) : falling, getpixel(p["black_rock"], i % 32, i / 32)) << i;
    }
    // Buttons: one size, four fit under the title and the lit one differs; the won picture, centred, ends above the result lines (y 390).
    BITMAP* play = p["menu/play"];
    EXPECT_TRUE(4 * play->h <= 240 && play->w <= 320 && play->h >= 24);
    for (const char* name : {"menu/play", "menu/options", "menu/help", "menu/quit"}) {
        BITMAP *off = p[name], *on = p[std::string(name) + "on"];
        int differ = 0;
        for (int i = 0; i < play->w * play->h; ++i) differ += getpixel(off, i % play->w, i / play->w) != getpixel(on, i % play->w, i / play->w);
        EXPECT_TRUE(off->w == play->w && off->h == play->h && on->w == play->w && on->h == play->h && differ > play->w * play->h / 4) << name;
    }
    EXPECT_TRUE(p["zada_wins"]->w <= 640 && p["zada_wins"]->h >= 120 && 240 + p["zada_wins"]->h - p["zada_wins"]->h / 2 <= 385);
    for (auto& [name, b] : p) destroy_bitmap(b);
}

}  // namespace
