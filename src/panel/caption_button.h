#pragma once
// A push button whose caption is broken into several lines when it is wider than the button.
// QPushButton itself never wraps, so a long caption would be clipped at both ends.

#include <QPushButton>

namespace motor::panel {

class CaptionButton final : public QPushButton {
  public:
    using QPushButton::QPushButton;

    // True when the caption does not fit on one line and is drawn wrapped.
    bool caption_wraps() const;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace motor::panel
