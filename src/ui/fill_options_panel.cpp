#include "ui/fill_options_panel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace quarnel {
namespace {

// A spin box whose lowest value means no limit, shown as its text.
QSpinBox* limitBox(int least, int most, const QString& none, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(least, most);
    box->setSpecialValueText(none);
    box->setValue(least);
    return box;
}

}  // namespace

FillOptionsPanel::FillOptionsPanel(QWidget* parent) : QWidget(parent) {
    filter_ = new QLineEdit(this);
    filter_->setPlaceholderText(tr("Find a method"));
    methods_ = new QListWidget(this);
    methods_->setObjectName(QStringLiteral("fillMethods"));
    methods_->setToolTip(tr("The methods to use; none ticked: the classes of the dialog"));
    standardEight_ = new QPushButton(tr("The standard eight"), this);
    minMethods_ = limitBox(0, 999, tr("any"), this);
    maxMethods_ = limitBox(0, 999, tr("any"), this);
    balance_ = limitBox(-1, 100, tr("off"), this);
    balance_->setSuffix(QStringLiteral("%"));
    atw_ = new QCheckBox(tr("Every method rings all the work"), this);
    minCom_ = limitBox(-1, 99999, tr("any"), this);
    maxCom_ = limitBox(-1, 99999, tr("any"), this);
    timeLimit_ = new QDoubleSpinBox(this);
    timeLimit_->setRange(0, 86400);
    timeLimit_->setDecimals(0);
    timeLimit_->setSuffix(tr(" s"));
    timeLimit_->setSpecialValueText(tr("none"));
    refillAll_ = new QCheckBox(tr("Refill every lead"), this);

    auto* methodRow = new QHBoxLayout;
    methodRow->addWidget(filter_);
    methodRow->addWidget(standardEight_);
    auto* counts = new QHBoxLayout;
    counts->addWidget(minMethods_);
    counts->addWidget(maxMethods_);
    auto* changes = new QHBoxLayout;
    changes->addWidget(minCom_);
    changes->addWidget(maxCom_);
    auto* form = new QFormLayout;
    // On a narrow window a long label goes above its fields.
    form->setRowWrapPolicy(QFormLayout::WrapLongRows);
    form->addRow(tr("Methods (at least, at most)"), counts);
    form->addRow(tr("Balance"), balance_);
    form->addRow(QString(), atw_);
    form->addRow(tr("Changes of method (at least, at most)"), changes);
    form->addRow(tr("Time limit"), timeLimit_);
    form->addRow(QString(), refillAll_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(methodRow);
    layout->addWidget(methods_);
    layout->addLayout(form);
    connect(standardEight_, &QPushButton::clicked, this, &FillOptionsPanel::tickStandardEight);
    connect(filter_, &QLineEdit::textChanged, this, &FillOptionsPanel::filter);
}

void FillOptionsPanel::setMethodNames(const std::vector<std::string>& names) {
    methods_->clear();
    for (const std::string& name : names) {
        auto* item = new QListWidgetItem(QString::fromStdString(name), methods_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void FillOptionsPanel::offerRefill(bool offered) {
    refillAll_->setVisible(offered);
    if (!offered) refillAll_->setChecked(false);
}

void FillOptionsPanel::tickStandardEight() {
    const std::vector<std::string>& eight = standardEight();
    for (int i = 0; i < methods_->count(); ++i) {
        QListWidgetItem* item = methods_->item(i);
        const bool one = std::find(eight.begin(), eight.end(), item->text().toStdString()) != eight.end();
        item->setCheckState(one ? Qt::Checked : Qt::Unchecked);
    }
}

void FillOptionsPanel::filter(const QString& text) {
    for (int i = 0; i < methods_->count(); ++i)
        methods_->item(i)->setHidden(!methods_->item(i)->text().contains(text, Qt::CaseInsensitive));
}

FillChoices FillOptionsPanel::choices() const {
    FillChoices c;
    search::Constraints& k = c.constraints;
    for (int i = 0; i < methods_->count(); ++i)
        if (methods_->item(i)->checkState() == Qt::Checked) k.methods.push_back(methods_->item(i)->text().toStdString());
    if (minMethods_->value() > 0) k.minMethods = minMethods_->value();
    if (maxMethods_->value() > 0) k.maxMethods = maxMethods_->value();
    if (balance_->value() >= 0) k.balancePercent = balance_->value();
    k.allTheWork = atw_->isChecked();
    if (minCom_->value() >= 0) k.minChangesOfMethod = minCom_->value();
    if (maxCom_->value() >= 0) k.maxChangesOfMethod = maxCom_->value();
    c.timeLimitSeconds = timeLimit_->value();
    c.refillAll = refillAll_->isChecked();
    return c;
}

}  // namespace quarnel
