// The dialogs that open over another screen, drawn inside the window over
// the dimmed screen beneath: a message, a yes-or-no question and a one-line
// text prompt. Each closes itself and hands its answer to the function given.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "screens/look.h"
#include "screens/screen.h"

// A message, wrapped to fit; Enter, Escape, Space or a click closes it.
class MessageDialog : public Screen {
public:
    explicit MessageDialog(std::string text, std::function<void(Context&)> closed = nullptr);
    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool covers() const override { return false; }
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::function<void(Context&)> closed_;
};

// A question answered with Y or N (Escape answers N).
class QuestionDialog : public Screen {
public:
    QuestionDialog(std::string question, std::function<void(bool, Context&)> answered);
    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool covers() const override { return false; }

private:
    std::string question_;
    std::function<void(bool, Context&)> answered_;
};

// One line of text: typing inserts (or replaces, after Insert), Left and
// Right move the cursor, Backspace and Delete delete; Enter or Escape ends
// it and keeps what was typed. It takes no more than `longest` characters.
class PromptDialog : public Screen {
public:
    PromptDialog(std::string prompt, std::string text, std::function<void(const std::string&, Context&)> done,
                 size_t longest = 4096);
    void handle(const input::Event& event, Context& context) override;
    void draw(BITMAP* target, Context& context) override;
    bool covers() const override { return false; }

private:
    std::string prompt_, text_;
    size_t longest_, cursor_;
    bool inserting_ = true;
    std::function<void(const std::string&, Context&)> done_;
};
