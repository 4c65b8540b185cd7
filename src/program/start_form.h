#pragma once

#include "forms/form.h"

class QLabel;
class QPushButton;

namespace program {

// The window caption of the start screen and the main menu, built in three steps: the title,
// 39 blanks that push the notice to the right of the title bar, and the notice.
void setProgramCaption(forms::Form& form);

// The start screen: the program's title and a notice, and "Continue" to the main menu.
class Form1 : public forms::Form {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form1";
    Form1();
    void Form_Load() override;
    void Command1_Click();

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Command1 = nullptr;
};

} // namespace program
