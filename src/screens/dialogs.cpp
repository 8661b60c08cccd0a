#include "screens/dialogs.h"

#include "screens/text.h"

namespace {

const int kWidestText = 560;  // pixels: the panel stays inside the window

bool closes(const input::Event& e) {
    if (e.kind == input::Event::Click) return true;
    if (e.kind != input::Event::Press) return false;
    return e.scancode == KEY_ENTER || e.scancode == KEY_ENTER_PAD || e.scancode == KEY_ESC || e.scancode == KEY_SPACE;
}

}  // namespace

MessageDialog::MessageDialog(std::string text, std::function<void(Context&)> closed)
    : text_(std::move(text)), closed_(std::move(closed)) {}

void MessageDialog::handle(const input::Event& e, Context& c) {
    if (!closes(e)) return;
    c.nav.close();
    if (closed_) closed_(c);
}

void MessageDialog::draw(BITMAP* target, Context&) {
    dimBeneath(target);
    const std::vector<std::string> wrapped = wrapText(printableByAllegro(text_), kWidestText);
    const int step = text_height(font) + 4;
    const int height = static_cast<int>(wrapped.size() + 2) * step;
    int y = target->h / 2 - height / 2;
    std::vector<StyledLine> lines;
    const int white = makecol(255, 255, 255);
    for (const std::string& line : wrapped) lines.push_back({line, y, white}), y += step;
    lines.push_back({"Enter: OK", y + step, makecol(200, 200, 200)});
    drawLines(target, lines);
}

QuestionDialog::QuestionDialog(std::string question, std::function<void(bool, Context&)> answered)
    : question_(std::move(question)), answered_(std::move(answered)) {}

void QuestionDialog::handle(const input::Event& e, Context& c) {
    if (e.kind != input::Event::Press) return;
    if (e.scancode != KEY_Y && e.scancode != KEY_N && e.scancode != KEY_ESC) return;
    c.nav.close();
    if (answered_) answered_(e.scancode == KEY_Y, c);
}

void QuestionDialog::draw(BITMAP* target, Context&) {
    dimBeneath(target);
    drawLines(target, {{question_, target->h / 2, makecol(200, 10, 10)}});
}

PromptDialog::PromptDialog(std::string prompt, std::string text, std::function<void(const std::string&, Context&)> done,
                           size_t longest)
    : prompt_(std::move(prompt)),
      text_(text.substr(0, longest)),
      longest_(longest),
      cursor_(text_.size()),
      done_(std::move(done)) {}

void PromptDialog::handle(const input::Event& e, Context& c) {
    if (e.kind == input::Event::Typed) {
        if (e.ascii < 32 || e.ascii > 126) return;
        if (inserting_ || cursor_ == text_.size()) {
            if (text_.size() >= longest_) return;  // no more than is kept
            text_.insert(cursor_, 1, static_cast<char>(e.ascii));
        } else {
            text_[cursor_] = static_cast<char>(e.ascii);
        }
        ++cursor_;
        return;
    }
    if (e.kind != input::Event::Press) return;
    switch (e.scancode) {
    case KEY_ENTER:
    case KEY_ENTER_PAD:
    case KEY_ESC:
        c.nav.close();
        if (done_) done_(text_, c);
        break;
    case KEY_BACKSPACE:
        if (cursor_ > 0) text_.erase(--cursor_, 1);
        break;
    case KEY_DEL:
        if (cursor_ < text_.size()) text_.erase(cursor_, 1);
        break;
    case KEY_INSERT: inserting_ = !inserting_; break;
    case KEY_LEFT:
        if (cursor_ > 0) --cursor_;
        break;
    case KEY_RIGHT:
        if (cursor_ < text_.size()) ++cursor_;
        break;
    case KEY_HOME: cursor_ = 0; break;
    case KEY_END: cursor_ = text_.size(); break;
    default: break;
    }
}

void PromptDialog::draw(BITMAP* target, Context&) {
    dimBeneath(target);
    // The heading, the text with its cursor, then what the keys do: each line
    // with room around it, the panel no larger than they need.
    const int th = text_height(font), textY = target->h / 2;
    const int white = makecol(255, 255, 255);
    const std::string shown = printableByAllegro(text_);
    drawLines(target, {{prompt_, textY - 2 * th, makecol(255, 255, 0)},
                       {shown, textY, white},
                       {"Enter or Escape ends the prompt", textY + 2 * th + 2, makecol(200, 200, 200)},
                       {inserting_ ? "Inserting" : "Replacing", textY + 3 * th + 6, white}});
    // The cursor: a bar under the character it stands before.
    const int left = target->w / 2 - text_length(font, shown.c_str()) / 2;
    const int x = left + text_length(font, shown.substr(0, cursor_).c_str());
    hline(target, x, textY + th + 1, x + 7, makecol(255, 255, 0));
}
