// The screens as a player sees them at chosen pixels; the shipped pictures sized and masked.

#include "fixture.h"

namespace {

// Every picture slot empty at first; a test puts in the ones it looks for.
class DrawTest : public AppFixture {
protected:
    void SetUp() override {
        start();
        for (int slot = 0; slot < 256; ++slot) setPicture(slot, nullptr);
    }
    void TearDown() override { destroy_bitmap(target); }
    void setPicture(int slot, BITMAP* p) { app->pictures.set(slot, p), view.forget(); }
    RuleState& board() { return session().rules; }
    void drawBoard() { view.draw(target, board(), app->pictures, true); }
    BoardView view;
    BITMAP* target = solid(640, 480, 255, 0, 0);
};

TEST_F(DrawTest, MenuLightsTheSelectedButtonInAColumnPlacedByThePlayPicture) {
    setPicture(251, solid(640, 480, 90, 90, 90));
    const int slots[4][2] = {{245, 246}, {242, 243}, {247, 248}, {249, 250}};  // Play, Options, Help, Quit
    for (int b = 0; b < 4; ++b)
        for (int lit = 0; lit < 2; ++lit) setPicture(slots[b][lit], solid(b ? 120 : 100, b ? 50 : 40, 10 * (b + 1) + lit, 0, 0));
    for (int sel = 0; sel < 4; ++sel) {
        top()->draw(target, app->stack.context());
        for (int b = 0; b < 4; ++b) EXPECT_TRUE(isColour(target, 545, 355 + 40 * b, 10 * (b + 1) + (b == sel), 0, 0)) << sel << b;
        EXPECT_TRUE(isColour(target, 530, 445, 90, 90, 90) && isColour(target, 10, 10, 90, 90, 90));
        press(KEY_DOWN);
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
    memset(board().board, Tunnel, sizeof board().board);
    board().board[5][6] = 100;  // a code with no picture: dirt only
    board().dogColumn = board().boneColumn = 5, board().dogRow = board().boneRow = 7;
    board().fallingRockX = 300, board().fallingRockY = 101, board().rockFalling = true;
    drawBoard();
    for (auto [x, y] : {std::pair{80, 80}, {6 * 32 + 3, 5 * 32 + 30}}) EXPECT_TRUE(isColour(target, x, y, x / 4, y / 4, 200)) << x;
    EXPECT_TRUE(isColour(target, 66, 66, 0, 0, 0));              // tunnel border
    // The dog at her bone in play holds it at her mouth; in the editor the bone covers her.
    EXPECT_TRUE(isColour(target, 164, 228, 250, 200, 0) && isColour(target, 178, 248, 240, 240, 240));
    view.draw(target, board(), app->pictures, false);
    EXPECT_TRUE(isColour(target, 164, 228, 240, 240, 240) && isColour(target, 188, 228, 250, 200, 0));
    drawBoard();
    EXPECT_TRUE(isColour(target, 300, 101, 120, 120, 120) && isColour(target, 331, 132, 120, 120, 120));
    // Layered or straight, the board gives the same pixels, whatever changes.
    setPicture(3, solid(40, 40, 0, 255, 0));  // spills into its neighbours
    std::mt19937 rng(20261206);
    BITMAP *layered = create_bitmap(640, 480), *direct = create_bitmap(640, 480), *otherDirt = solid(640, 480, 60, 30, 10);
    // Each swap puts in a new picture of one of two dirts, without the layer being told.
    auto swapDirt = [&](BITMAP* source) { app->pictures.set(DirtBackground, source ? create_sub_bitmap(source, 0, 0, 640, 480) : nullptr); };
    BITMAP* own = create_bitmap(640, 480);
    blit(dirt, own, 0, 0, 0, 0, 640, 480);
    BITMAP* shown = own;
    setPicture(SkyBottom, solid(32, 32, 0, 160, 0));  // under rocks on the grass row
    const uint8_t codes[] = {BlackRock, Rock, SkyTop, 3, Dirt, Tunnel, 100, 254};
    for (int frame = 0; frame < 300; ++frame) {
        for (int n = rng() % 4; n > 0; --n) board().board[rng() % 15][rng() % 20] = codes[rng() % 8];
        if (frame % 37 == 36) swapDirt(shown = shown == own ? otherDirt : own);
        if (frame % 61 == 60) swapDirt(nullptr);
        view.drawCells(layered, board(), app->pictures);
        drawCellsDirect(direct, board(), app->pictures);
        for (int y = 0; y < 480; ++y) ASSERT_EQ(memcmp(layered->line[y], direct->line[y], 640 * 4), 0) << frame;
    }
    app->pictures.set(DirtBackground, nullptr);
    for (BITMAP* b : {layered, direct, otherDirt, own}) destroy_bitmap(b);
}

TEST_F(DrawTest, ABuriedBoneShowsItsOutlineOverTheRockAndARockOnTheGrassRowStandsOnTheGrass) {
    setPicture(DirtBackground, solid(640, 480, 90, 60, 30));
    setPicture(SkyBottom, solid(32, 32, 0, 160, 0));
    BITMAP *rock = solid(32, 32, 255, 0, 255), *fallen = solid(32, 32, 0, 0, 0), *bone = solid(32, 32, 255, 0, 255);
    circlefill(rock, 16, 16, 12, makecol(120, 120, 120));
    circlefill(fallen, 16, 16, 12, makecol(60, 60, 60));
    rectfill(bone, 4, 12, 27, 19, makecol(240, 240, 240));
    setPicture(Rock, rock), setPicture(BlackRock, fallen), setPicture(BoneTile, bone);
    memset(board().board, Dirt, sizeof board().board);
    board().board[1][3] = Rock, board().board[1][4] = BlackRock, board().board[6][5] = Rock, board().board[8][8] = Rock;
    board().boneColumn = 5, board().boneRow = 6, board().dogColumn = 0, board().dogRow = 10;
    drawBoard();
    // Both kinds of rock on the grass row: the stone over the grass, no dirt or tunnel round it.
    for (int column : {3, 4})
        EXPECT_TRUE(isColour(target, column * 32 + 1, 33, 0, 160, 0) && isColour(target, column * 32 + 16, 48, 120, 120, 120)) << column;
    // The buried bone against a plain rock over the same dirt: only its edge differs, light.
    int differ = 0;
    for (int i = 0; i < 32 * 32; ++i) differ += getpixel(target, 160 + i % 32, 192 + i / 32) != getpixel(target, 256 + i % 32, 256 + i / 32);
    EXPECT_TRUE(differ >= 60 && differ < 32 * 32 / 8) << differ;
    EXPECT_TRUE(getr(getpixel(target, 160 + 4, 192 + 12)) > 160 && isColour(target, 160 + 16, 192 + 16, 120, 120, 120));
}

TEST_F(DrawTest, ALooseRockIsDrawnApartFromARockOnEarthInPlayAndInTheEditor) {
    setPicture(DirtBackground, solid(640, 480, 90, 60, 30)), setPicture(Tunnel, solid(32, 32, 0, 0, 0));
    for (int code : {Rock, BlackRock}) {  // each slot owns its picture
        BITMAP* rock = solid(32, 32, 255, 0, 255);
        circlefill(rock, 16, 16, 13, makecol(120, 120, 120));
        setPicture(code, rock);
    }
    // The rock at (5, 6) against a rock on earth at (9, 6), the cells beneath each compared too.
    const struct { const char* what; uint8_t code, below; bool onBone, loose; } cases[] = {
        {"over a tunnel", Rock, Tunnel, false, true}, {"a fallen rock over a tunnel", BlackRock, Tunnel, false, true},
        {"on earth", Rock, Dirt, false, false}, {"on the bone, which holds it up", Rock, Tunnel, true, false},
        {"over another rock", Rock, Rock, false, false}};
    for (const auto& c : cases)
        for (bool playing : {true, false}) {
            memset(board().board, Dirt, sizeof board().board);
            board().board[6][5] = board().board[6][9] = c.code, board().board[7][5] = c.below, board().board[7][9] = c.below == Rock ? Rock : Dirt;
            board().boneColumn = c.onBone ? 5 : 0, board().boneRow = c.onBone ? 6 : 14, board().dogColumn = 19, board().dogRow = 14;
            view.draw(target, board(), app->pictures, playing);
            int differ = 0, crumbs = 0;
            for (int i = 0; i < 32 * 32; ++i) differ += getpixel(target, 160 + i % 32, 192 + i / 32) != getpixel(target, 288 + i % 32, 192 + i / 32);
            for (int i = 0; i < 32 * 16; ++i) crumbs += c.below == Tunnel && !isColour(target, 160 + i % 32, 224 + i / 32, 0, 0, 0);
            EXPECT_EQ(differ > 20 && crumbs > 0, c.loose) << c.what << " " << playing << " " << differ << " " << crumbs;
            EXPECT_EQ(isLoose(board(), 5, 6), c.loose) << c.what;
        }
}

TEST_F(DrawTest, TheCaptionIsDarkOnALightHaloAtTheTopWhateverTheTitle) {
    std::mt19937 rng(42);
    for (int round = 0; round < 30; ++round) {
        std::string title(rng() % 40, ' ');
        for (char& c : title) c = static_cast<char>(' ' + rng() % 95);  // '%' among them
        const int number = static_cast<int>(rng() % 200) - 20;
        clear_bitmap(target);
        drawCaption(target, number, title);
        drawScoreLine(target, captionText(number, title), 3, 4, 5);
        const std::string caption = "Level #" + std::to_string(number) + ": \"" + title + "\"";
        // The caption's own span: the score line stands beside it.
        const int half = text_length(font, caption.c_str()) / 2 + 2;
        ASSERT_TRUE(lineShows(target, 12, caption, makecol(20, 20, 20), half)) << caption;
        // Every letter's pixel has the halo (or the letter) on all four sides: none of its edges is bare.
        const int dark = makecol(20, 20, 20), light = makecol(200, 200, 200);
        int bare = 0;
        for (int i = 0; i < 640 * 8; ++i)
            if (getpixel(target, i % 640, 12 + i / 640) == dark)
                for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) {
                    const int p = getpixel(target, i % 640 + dx, 12 + i / 640 + dy);
                    bare += p != dark && p != light;
                }
        EXPECT_EQ(bare, 0) << caption;
    }
}

TEST_F(DrawTest, TheRestartQuestionStandsOutlinedInLightOverTheDimmedBoard) {
    setPicture(DirtBackground, solid(640, 480, 0, 250, 0)), setPicture(251, solid(640, 480, 0, 0, 250));  // the board, the garden
    press(KEY_ENTER), press(KEY_R);
    app->stack.draw(target);
    int light = 0, below = getpixel(target, 5, 470);
    for (int i = 0; i < 640 * 12; ++i) light += isColour(target, i % 640, 236 + i / 640, 236, 220, 190);
    EXPECT_TRUE(getg(below) > 80 && getb(below) < 40 && light > 100) << light;
}

TEST_F(DrawTest, LevelWonShowsThePictureCentredAndTheRightRecordLine) {
    setPicture(253, solid(200, 100, 0, 0, 250));
    const struct { WinRecord::Outcome outcome; int record; const char* line; } cases[] = {
        {WinRecord::NewRecord, -1, "A new best! Your record for this level is now 15."},
        {WinRecord::NotBeaten, 12, "Your best is 12: that record stands."},
        {WinRecord::NotBeaten, 15, "As good as your best: your record stays 15."}, {WinRecord::Unreadable, -1, ""},
        {WinRecord::NotSaved, -1, "The record could not be saved: Permission denied"}};
    for (const auto& c : cases) {
        WinRecord r;
        r.outcome = c.outcome, r.record = c.record, r.reason = "Permission denied";
        board().moveCount = 15, session().play.fewest = 12;
        WonScreen(r).draw(target, app->stack.context());
        EXPECT_TRUE(isColour(target, 220, 150, 0, 0, 250) && isColour(target, 419, 249, 0, 0, 250) && !isColour(target, 5, 5, 0, 0, 250));
        EXPECT_TRUE(lineShows(target, 366, "You reached the bone in 15 moves!", makecol(255, 230, 120)));
        EXPECT_TRUE(lineShows(target, 384, c.line, makecol(230, 220, 200))) << c.record;
        EXPECT_TRUE(lineShows(target, 398, "The fewest moves possible: 12.", makecol(230, 220, 200)));
        EXPECT_TRUE(lineShows(target, 418, "Enter: see how you did", makecol(255, 214, 64)));  // no level 2 here
    }
}

TEST_F(DrawTest, TheDogFacesTheWaySheGoes) {
    BITMAP* dog = solid(32, 32, 255, 0, 255);
    rectfill(dog, 20, 4, 31, 20, makecol(250, 200, 0));  // her head, on the right
    setPicture(DogTile, dog);
    const struct { bool playing; int direction; bool mirrored; } cases[] = {
        {true, Left, true}, {true, Right, false}, {true, None, false}, {false, Left, false}};  // the editor
    for (const auto& c : cases) {
        board().selection = c.direction;
        view.draw(target, board(), app->pictures, c.playing);
        int wrong = 0;
        for (int i = 0; i < 32 * 32; ++i) {
            int x = i % 32, y = i / 32, want = getpixel(dog, c.mirrored ? 31 - x : x, y);
            wrong += want != makecol(255, 0, 255) && getpixel(target, board().dogColumn * 32 + x, board().dogRow * 32 + y) != want;
        }
        EXPECT_EQ(wrong, 0) << c.playing << " " << c.direction;
    }
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
