#pragma once
// The Fill window's options before Start: the methods to use (ticked in a
// list of the library's methods of the plan's codes, the standard eight a
// click away; none ticked: the dialog's classes), how many different
// methods, their balance, all the work, the changes of method, a time limit
// and refilling every lead. A thin form: choices() reads it whole.
#include <QWidget>
#include <string>
#include <vector>

#include "session/fill_choices.h"

class QCheckBox;
class QDoubleSpinBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace quarnel {

class FillOptionsPanel : public QWidget {
    Q_OBJECT
public:
    explicit FillOptionsPanel(QWidget* parent = nullptr);

    // The methods offered, by library name, none ticked.
    void setMethodNames(const std::vector<std::string>& names);
    FillChoices choices() const;
    // "Refill every lead" is Fill's alone: Compose hides it.
    void offerRefill(bool offered);

    QListWidget* methodList() const { return methods_; }
    QPushButton* standardEightButton() const { return standardEight_; }
    QSpinBox* minMethodsBox() const { return minMethods_; }
    QSpinBox* maxMethodsBox() const { return maxMethods_; }
    QCheckBox* allTheWorkBox() const { return atw_; }

public slots:
    // Ticks the standard eight among the methods offered, and no other.
    void tickStandardEight();

private:
    void filter(const QString& text);

    QLineEdit* filter_ = nullptr;
    QListWidget* methods_ = nullptr;
    QPushButton* standardEight_ = nullptr;
    QSpinBox* minMethods_ = nullptr;
    QSpinBox* maxMethods_ = nullptr;
    QSpinBox* balance_ = nullptr;
    QCheckBox* atw_ = nullptr;
    QSpinBox* minCom_ = nullptr;
    QSpinBox* maxCom_ = nullptr;
    QDoubleSpinBox* timeLimit_ = nullptr;
    QCheckBox* refillAll_ = nullptr;
};

}  // namespace quarnel
