#pragma once
// An edit box whose length limit binds what the operator types or pastes, never what the
// program writes: a longer text written by the program stays whole, and typing cannot make
// it longer until it is back within the limit.

#include <QLineEdit>

namespace motor::panel {

class EditBox final : public QLineEdit {
  public:
    explicit EditBox(QWidget* parent = nullptr);

    void set_length_limit(int limit);  // 0: no limit
    int length_limit() const { return limit_; }

    // The program's write: replaces the whole text, whatever its length.
    void write_text(const QString& text);

  private:
    void fit_limit_to_text();

    int limit_ = 0;
};

}  // namespace motor::panel
