#include "toolkit/radio_group.h"

#include "platform/application.h"

#include <QRadioButton>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent)
{
    group_.setExclusive(true);
    connect(&group_, &QButtonGroup::idClicked, this, [this](int id) {
        if (id == index_)
            return;
        index_ = id;
        Application::Guard([this] { emit Click(); });
    });
}

void TRadioGroup::SetItems(const QStringList& items)
{
    for (QRadioButton* b : buttons_) {
        group_.removeButton(b);
        delete b;
    }
    buttons_.clear();
    items_ = items;
    index_ = -1;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        b->setObjectName(QStringLiteral("item%1").arg(i));
        group_.addButton(b, i);
        buttons_.push_back(b);
        b->show();
    }
    layoutButtons();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index < -1 || index >= static_cast<int>(buttons_.size()))
        index = -1;
    index_ = index;
    if (index < 0) {
        // An exclusive group cannot clear its checked button directly.
        group_.setExclusive(false);
        for (QRadioButton* b : buttons_)
            b->setChecked(false);
        group_.setExclusive(true);
    } else {
        buttons_[static_cast<size_t>(index)]->setChecked(true);
    }
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < static_cast<int>(buttons_.size()) ? buttons_[static_cast<size_t>(index)] : nullptr;
}

void TRadioGroup::resizeEvent(QResizeEvent* e)
{
    QGroupBox::resizeEvent(e);
    layoutButtons();
}

void TRadioGroup::layoutButtons()
{
    if (buttons_.empty())
        return;
    // Items share the height below the caption evenly, as the original
    // control lays them out.
    int top = title().isEmpty() ? 4 : fontMetrics().height();
    int avail = height() - top - 4;
    int n = static_cast<int>(buttons_.size());
    int step = avail / n;
    for (int i = 0; i < n; ++i)
        buttons_[static_cast<size_t>(i)]->setGeometry(8, top + i * step, width() - 12, step);
}
