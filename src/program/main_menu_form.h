#pragma once

#include "forms/form.h"

class QLabel;
class QPushButton;

namespace program {

// The main menu: one button per synthesis and filter screen, File/Exit and Help/About.
class Form2 : public forms::Form {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form2";
    Form2();
    void Form_Load() override;
    void MenuFileExit_Click();
    void menuAbout_Click();

private:
    void addScreenButton(int number, const QString& caption, int column, int row,
                         const QString& screen, const QColor& background, double points = 13.5);
    void openScreen(const QString& screen);

    QLabel* Label1 = nullptr;
};

} // namespace program
