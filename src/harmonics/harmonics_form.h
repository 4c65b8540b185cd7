#pragma once

#include "forms/form.h"
#include "screens/shared_state.h"

class QLabel;
class QPushButton;

namespace harmonics {

// The line spectrum of the waveform a synthesis screen last drew, with the words that say where
// its energy lies. Drawn from the shared state alone when it is loaded; shown modally by its
// caller and unloaded by "Close", so every showing draws afresh.
class Form7 : public forms::Form {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form7";
    explicit Form7(const screens::SharedState& shared);
    void Form_Load() override;
    void Command1_Click();

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Command1 = nullptr;
    const screens::SharedState& m_shared;
};

} // namespace harmonics
