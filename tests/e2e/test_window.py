"""The window, idling and closing: with the shipped data, with none at all,
and when the platform or the sound output cannot start."""
import os
import subprocess
import time

import e2e


def main_thread_cpu(pid):
    with open("/proc/%d/task/%d/stat" % (pid, pid)) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class WindowTest(e2e.GameTestCase):
    def check_window_idle_and_close(self, game):
        self.assertEqual(game.geometry(), (640, 480))
        time.sleep(1.0)  # let start-up finish before measuring
        before = game.cpu_seconds(), main_thread_cpu(game.pid), time.monotonic()
        time.sleep(4.0)
        after = game.cpu_seconds(), main_thread_cpu(game.pid), time.monotonic()
        share, main_share = ((after[i] - before[i]) / (after[2] - before[2]) for i in (0, 1))
        print("idle CPU: %.1f%% (main loop thread %.1f%%)" % (share * 100, main_share * 100))
        # The main loop sleeps in 100 ms rests and the background threads
        # sleep until input: together a few tenths of a per cent. The bounds
        # catch a thread that stopped sleeping, not the idle target.
        self.assertLess(main_share, 0.01)
        self.assertLess(share, 0.015)
        self.assertEqual(game.close(), 0)

    def test_window_with_shipped_data(self):
        game = self.start_game()
        game.screenshot("started")
        self.check_window_idle_and_close(game)

    def test_empty_directory_starts_and_closes(self):
        game = self.start_game(seed=False)
        self.assertIsNone(game.message_box())
        self.check_window_idle_and_close(game)
        # Nothing is written merely by starting and closing.
        self.assertEqual(os.listdir(game.dir.path), [])

    def test_quits_within_moments_of_the_close_button(self):
        game = self.start_game()
        time.sleep(0.5)
        started = time.monotonic()
        self.assertEqual(game.close(), 0)
        print("closed in %.2f s" % (time.monotonic() - started))

    def test_escape_on_the_main_menu_ends_the_game(self):
        game = self.start_game()
        game.wait_for_frame()
        game.hold("Escape")
        self.assertEqual(game.wait(), 0)
        self.assertNotIn("Shutting down", game.output())

    def test_sound_output_failure_is_shown_and_ends_with_status_1(self):
        game = self.start_game(env={"SDL_AUDIODRIVER": "nonexistent"})
        box = game.wait_for_message()
        self.assertEqual(box.text, "Error initializing output device.\n")
        box.dismiss()
        self.assertEqual(game.wait(), 1)

    def test_without_a_display_says_so_and_ends_with_status_0(self):
        env = dict(os.environ, SDL_AUDIODRIVER="dummy")
        env.pop("DISPLAY", None)
        result = subprocess.run([e2e.BINARY], env=env, cwd="/", capture_output=True, timeout=30)
        self.assertEqual(result.returncode, 0)
        self.assertIn(b"Could not initialize Allegro.", result.stderr)


if __name__ == "__main__":
    e2e.main()
