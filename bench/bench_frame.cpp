// What a frame of the game costs. The loop shows a sliding dog at one tick
// per pass (input, update, draw, copy, rest 4 ms), so the work beside the
// rest sets the animation's pace: it must stay small against the 4 ms.
#include <allegro.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <vector>

#include "bench_support.h"
#include "platform/input.h"
#include "platform/window.h"
#include "rules/solver.h"
#include "rules/tiles.h"
#include "screens/board_view.h"
#include "screens/playing.h"
#include "session/session.h"

namespace {

using Clock = std::chrono::steady_clock;

// A board where the dog slides right along row 8 through dirt from the left
// edge to the right one, nineteen cells, with nothing to fall on the way; the
// rest of the board is the first shipped level (or dirt without it).
void startSlide(App& app) {
    Session& game = app.session;
    if (!game.loadLevel(1)) game.resetBoard(0);
    RuleState& b = game.rules;
    for (int column = 0; column < b.boardWidth; ++column) {
        b.board[7][column] = Dirt;
        b.board[8][column] = Dirt;
    }
    b.dogColumn = 0;
    b.dogRow = 8;
    b.dogOffsetX = b.dogOffsetY = 0;
    b.boneColumn = 19;
    b.boneRow = 14;
    b.board[14][19] = Tunnel;
    b.rockFalling = false;
    b.moveCount = 0;
    b.startMove(false, false, true, false);
    if (!dynamic_cast<PlayingScreen*>(app.stack.top())) app.stack.showOnly(ScreenId::Playing), app.stack.dispatch({});
}

double percentile(std::vector<double>& values, double fraction) {
    if (values.empty()) return 0;
    size_t at = static_cast<size_t>(fraction * (values.size() - 1));
    std::nth_element(values.begin(), values.begin() + at, values.end());
    return values[at];
}

// Start-up to the first frame: every picture and sound, the first drawing
// into the picture and its copy to the screen. Runs before any other game
// exists in the process.
void BM_StartUpToFirstFrame(benchmark::State& state) {
    bench::startAllegro();
    static std::atomic<bool> quit{false};
    BITMAP* back = create_bitmap(640, 480);
    for (auto _ : state) {
        App* game = new App(quit);
        game->frame(0, back);
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
void slidingFrames(benchmark::State& state, App& app) {
    const RuleState& game = app.session.rules;
    BITMAP* back = create_bitmap(640, 480);
    startSlide(app);
    std::vector<double> frames;
    frames.reserve(1 << 16);
    double slides = 1;
    for (auto _ : state) {
        if (game.selection == None && !game.rockFalling) {
            state.PauseTiming();
            startSlide(app);
            slides += 1;
            state.ResumeTiming();
        }
        auto begin = Clock::now();
        app.frame(static_cast<unsigned long>(frames.size()) * 5, back);
        frames.push_back(std::chrono::duration<double, std::micro>(Clock::now() - begin).count());
    }
    state.counters["median_us"] = percentile(frames, 0.5);
    state.counters["p90_us"] = percentile(frames, 0.9);
    // Nineteen cells at two pixels a tick: about 300 frames a slide.
    state.counters["frames_per_slide"] = frames.size() / slides;
    destroy_bitmap(back);
}

void BM_SlidingFrame(benchmark::State& state) { slidingFrames(state, bench::app()); }
BENCHMARK(BM_SlidingFrame)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// A slide's time by the clock the loop gives the game, frames coming 30,
// 60 and 144 times a second: nineteen cells at the game's one pace, however
// often it is drawn (the figures must agree within 5 %).
void BM_SlideAtFrameRates(benchmark::State& state) {
    App& app = bench::app();
    BITMAP* back = create_bitmap(640, 480);
    const RuleState& game = app.session.rules;
    for (auto _ : state) {
        for (int fps : {30, 60, 144}) {
            // The move begins at a press, as a player's does.
            startSlide(app);
            app.session.rules.stopStep();
            app.session.play.begin(fewest::kNotKnown);
            unsigned long frame = 0, base = 1000000 * fps;  // far from zero, as a real clock is
            auto at = [&](unsigned long n) { return (base + n) * 1000 / fps; };
            app.frame(at(frame++), back);
            input::onKey(KEY_RIGHT);
            app.frame(at(frame), back);
            input::onKey(KEY_RIGHT | 0x80);
            const unsigned long began = at(frame);
            while (frame < 100000 && (game.selection != None || game.rockFalling)) app.frame(at(++frame), back);
            state.counters["slide_ms_at_" + std::to_string(fps)] = double(at(frame) - began);
        }
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_SlideAtFrameRates)->Unit(benchmark::kMillisecond)->Iterations(1);

// The longest a press made during a move waits for it to end, the loop
// running a frame every 5 ms: every move of a shortest way through every
// shipped level, a press made at every tenth frame of each. Also the longest
// move left alone.
void BM_LongestWaitOfAKeptPress(benchmark::State& state) {
    Session& session = bench::app().session;
    const unsigned long kFrameMs = 5;
    unsigned long longestWait = 0, longestMove = 0;
    // The frames of `direction` played from `start`, a press made at frame
    // pressAt (none at 0); the wait is to the frame its own move begins in.
    auto playOut = [&](const RuleState& start, int32_t direction, unsigned long pressAt) {
        RuleState rules = start;
        Play play(rules, nullptr);
        play.begin(fewest::kNotKnown);
        Play::Input in;
        in.arrows.press(direction == Up     ? MoveKeys::Up
                        : direction == Down ? MoveKeys::Down
                        : direction == Left ? MoveKeys::Left
                                            : MoveKeys::Right);
        bool won = play.frame(in);
        unsigned long frame = 1, pressedAt = 0;
        for (; play.busy() && play.moves().size() < 2 && !won && frame < 100000; ++frame) {
            Play::Input next;
            next.nowMs = frame * kFrameMs;
            if (frame == pressAt) next.arrows.press(MoveKeys::Up), pressedAt = next.nowMs;
            won = play.frame(next);
        }
        if (pressAt == 0) longestMove = std::max(longestMove, frame * kFrameMs);
        if (pressedAt) longestWait = std::max(longestWait, frame * kFrameMs - pressedAt);
        return frame;
    };
    for (auto _ : state) {
        for (int32_t level = 1; session.loadLevel(level); ++level) {
            RuleState position = session.rules;
            const SolveResult way = solve(position);
            for (int32_t direction : way.moves) {
                const unsigned long frames = playOut(position, direction, 0);
                for (unsigned long pressAt = 1; pressAt < frames; pressAt += 10) playOut(position, direction, pressAt);
                slideMove(position, direction);
            }
        }
    }
    state.counters["longest_wait_ms"] = longestWait;
    state.counters["longest_move_ms"] = longestMove;
}
BENCHMARK(BM_LongestWaitOfAKeptPress)->Unit(benchmark::kMillisecond)->Iterations(1);
// The same in a window three times the picture (1920x1440 on a 4K desktop):
// the frame plus its scaled copy.
// The game's window at 3x on a 4K desktop (on), or at 1x on 1024x768 again.
App& windowAt3x(bool on) {
    App& app = bench::app();
    bench::setDesktop(on ? 3840 : 1024, on ? 2160 : 768);
    app.preferences.windowScale = on ? 3 : 1;
    window::show(app.preferences);
    return app;
}

void BM_SlidingFrameAt3x(benchmark::State& state) {
    slidingFrames(state, windowAt3x(true));
    windowAt3x(false);
}
BENCHMARK(BM_SlidingFrameAt3x)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// A whole new picture shown at 3x: the worst case, as when a screen opens.
void BM_PresentWholePictureAt3x(benchmark::State& state) {
    windowAt3x(true);
    BITMAP* back = create_bitmap(640, 480);
    int colour = 0;
    for (auto _ : state) {
        clear_to_color(back, ++colour);
        window::present(back);
        benchmark::DoNotOptimize(screen->line[0][0]);
    }
    destroy_bitmap(back);
    windowAt3x(false);
}
BENCHMARK(BM_PresentWholePictureAt3x)->Unit(benchmark::kMicrosecond);

// The drawing alone, the board pass being the largest part of a frame.
void BM_DrawPlayingScreen(benchmark::State& state) {
    App& app = bench::app();
    BITMAP* back = create_bitmap(640, 480);
    startSlide(app);
    for (auto _ : state) {
        app.stack.draw(back);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_DrawPlayingScreen)->Unit(benchmark::kMicrosecond);

// The board cells alone, both ways: straight onto the target cell by cell,
// and through the kept layer with the two cells a sliding dog changes.
void BM_BoardCellsDirect(benchmark::State& state) {
    App& app = bench::app();
    BITMAP* back = create_bitmap(640, 480);
    startSlide(app);
    for (auto _ : state) {
        drawCellsDirect(back, app.session.rules, app.pictures);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_BoardCellsDirect)->Unit(benchmark::kMicrosecond);

void BM_BoardCellsLayered(benchmark::State& state) {
    App& app = bench::app();
    RuleState& game = app.session.rules;
    BITMAP* back = create_bitmap(640, 480);
    startSlide(app);
    BoardView view;
    int column = 0;
    for (auto _ : state) {
        game.board[8][column] = game.board[8][column] == Dirt ? Tunnel : Dirt;
        column = (column + 1) % game.boardWidth;
        game.board[8][column] = game.board[8][column] == Dirt ? Tunnel : Dirt;
        view.drawCells(back, game, app.pictures);
        benchmark::DoNotOptimize(back->line[0][0]);
    }
    destroy_bitmap(back);
}
BENCHMARK(BM_BoardCellsLayered)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
