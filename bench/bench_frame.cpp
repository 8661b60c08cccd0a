// What a frame of the game costs. The main loop shows a sliding dog at one
// tick per pass (input step, rest 4 ms, draw, copy), so the work beside the
// rest sets the animation's pace: it must stay small against the 4 ms.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "bench_support.h"
#include "rules/tiles.h"
#include "screens/draw.h"

namespace {

using Clock = std::chrono::steady_clock;

// A board where the dog slides right along row 8 through dirt from the left
// edge to the right one, nineteen cells, with nothing to fall on the way; the
// rest of the board is the first shipped level (or dirt without it).
void startSlide(Game& game) {
    if (!game.loadLevel(1)) game.resetBoard(0);
    for (int column = 0; column < game.boardWidth; ++column) {
        game.board[7][column] = Dirt;
        game.board[8][column] = Dirt;
    }
    game.dogColumn = 0;
    game.dogRow = 8;
    game.dogOffsetX = game.dogOffsetY = 0;
    game.boneColumn = 19;
    game.boneRow = 14;
    game.board[14][19] = Tunnel;
    game.rockFalling = false;
    game.screenMode = Playing;
    game.selection = None;
    game.moveCount = 0;
    game.startMove(false, false, true, false);
    game.redrawNeeded = true;
}

double percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) return 0;
    size_t at = static_cast<size_t>(fraction * (values.size() - 1));
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[at];
}

// Start-up to the first frame: the Game with every picture and sound, the
// first drawing into the back buffer and its copy to the screen. Runs before
// any other Game exists in the process.
void BM_StartUpToFirstFrame(benchmark::State& state) {
    bench::startAllegro();
    static std::atomic<bool> quit{false};
    BITMAP* back = create_bitmap(640, 480);
    for (auto _ : state) {
        Game* game = new Game(&quit);
        game->drawScreen(back);
        blit(back, screen, 0, 0, 0, 0, 640, 480);
        state.PauseTiming();
        delete game;
        state.ResumeTiming();
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_StartUpToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// One pass of the main loop while the dog slides, without its 4 ms rest: the
// input check, the input step, drawing into the back buffer and the copy of
// the back buffer to a screen-sized bitmap.
void BM_SlidingFrame(benchmark::State& state) {
    Game& game = bench::game();
    BITMAP* back = create_bitmap(640, 480);
    BITMAP* shown = create_bitmap(640, 480);
    startSlide(game);
    std::vector<double> frames;
    frames.reserve(1 << 16);
    double slides = 1;
    for (auto _ : state) {
        if (game.selection == None && !game.rockFalling) {
            state.PauseTiming();
            startSlide(game);
            slides += 1;
            state.ResumeTiming();
        }
        auto begin = Clock::now();
        game.pollInput();
        game.handleInput();
        game.drawScreen(back);
        blit(back, shown, 0, 0, 0, 0, 640, 480);
        frames.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    state.counters["median_us"] = percentile(frames, 0.5);
    state.counters["p90_us"] = percentile(frames, 0.9);
    // Nineteen cells at two pixels a tick: about 300 frames a slide.
    state.counters["frames_per_slide"] = frames.size() / slides;
    destroy_bitmap(back);
    destroy_bitmap(shown);
}
BENCHMARK(BM_SlidingFrame)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The drawing alone, the board pass being the largest part of a frame.
void BM_DrawPlayingScreen(benchmark::State& state) {
    Game& game = bench::game();
    BITMAP* back = create_bitmap(640, 480);
    startSlide(game);
    for (auto _ : state) {
        game.redrawNeeded = true;
        game.drawScreen(back);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_DrawPlayingScreen)->Unit(benchmark::kMicrosecond);

// The board cells alone, both ways: straight onto the target cell by cell,
// and through the kept layer with the two cells a sliding dog changes.
void BM_BoardCellsDirect(benchmark::State& state) {
    Game& game = bench::game();
    BITMAP* back = create_bitmap(640, 480);
    startSlide(game);
    for (auto _ : state) {
        drawBoardCellsDirect(game, back);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_BoardCellsDirect)->Unit(benchmark::kMicrosecond);

void BM_BoardCellsLayered(benchmark::State& state) {
    Game& game = bench::game();
    BITMAP* back = create_bitmap(640, 480);
    startSlide(game);
    int column = 0;
    for (auto _ : state) {
        game.board[8][column] = game.board[8][column] == Dirt ? Tunnel : Dirt;
        column = (column + 1) % game.boardWidth;
        game.board[8][column] = game.board[8][column] == Dirt ? Tunnel : Dirt;
        drawBoardCellsLayered(game, back);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_BoardCellsLayered)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
