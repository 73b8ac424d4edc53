#pragma once
// A framed group of radio buttons addressed by item index, as the windows'
// definitions use it: ItemIndex -1 means no item selected, and Click is
// raised only when the user changes the selection, not when code sets it.
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

#include <vector>

class QRadioButton;

class TRadioGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    void SetItems(const QStringList& items);
    int ItemIndex() const { return index_; }
    // Selects an item (-1: none) without raising Click.
    void SetItemIndex(int index);
    QRadioButton* Button(int index) const;

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void layoutButtons();

    QStringList items_;
    std::vector<QRadioButton*> buttons_;
    QButtonGroup group_;
    int index_ = -1;
};
