#pragma once
// Makes the instrument widgets visible to assistive technology and UI
// automation: one accessibility factory serves all of them, installed the
// first time any instrument is constructed, and the helpers below send the
// change notifications the widgets raise when what they show changes.
#include <QAccessible>
#include <QVariant>

#include <functional>

class QWidget;

namespace InstrumentAccessibility {

// Installs the factory once per process; every instrument's constructor
// calls it, so nobody has to remember to.
void Install();

// Notifications, sent only while an assistive client is listening.
void ValueChanged(QWidget* widget, const QVariant& value);
void NameChanged(QWidget* widget);
void CheckedChanged(QWidget* widget);

// Tests: sees every notification an instrument sends, whether or not a
// client listens (platforms without an accessibility bridge drop them).
// An empty function removes the observer.
using Observer = std::function<void(QWidget* widget, QAccessible::Event type)>;
void SetObserver(Observer observer);

}  // namespace InstrumentAccessibility
