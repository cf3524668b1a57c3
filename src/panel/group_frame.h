#pragma once
// A group box drawn plainly: an etched frame whose top edge runs through the middle of the
// title, the title at its left, all on the box's own background colour. The style's group box
// tints its inside, so labels on it would stand out as patches of another colour.

#include <QGroupBox>

namespace motor::panel {

class GroupFrame final : public QGroupBox {
  public:
    using QGroupBox::QGroupBox;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace motor::panel
