#include "widgets/accessible.h"

#include "widgets/abclock.h"
#include "widgets/abcolbitbtn.h"
#include "widgets/abled.h"
#include "widgets/abrockerswitch.h"
#include "widgets/abthermometer.h"
#include "widgets/abvalueind.h"
#include "widgets/abvbar.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

// Common ground: a name set by the window (accessibleName) wins over the
// instrument's own label, the tool tip serves as description, and the text
// the instrument shows is its value.
class Instrument : public QAccessibleWidget {
public:
    Instrument(QWidget* w, QAccessible::Role role) : QAccessibleWidget(w, role) {}

    QString text(QAccessible::Text t) const override
    {
        switch (t) {
        case QAccessible::Name:
            if (!widget()->accessibleName().isEmpty())
                return widget()->accessibleName();
            return label();
        case QAccessible::Value:
            return shown();
        case QAccessible::Description: {
            const QString given = QAccessibleWidget::text(t);
            return given.isEmpty() ? shown() : given;
        }
        default:
            return QAccessibleWidget::text(t);
        }
    }

protected:
    virtual QString label() const = 0;
    virtual QString shown() const = 0;
};

// A read-only range for the instruments that show a level.
class LevelInstrument : public Instrument, public QAccessibleValueInterface {
public:
    using Instrument::Instrument;

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return Instrument::interface_cast(t);
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant minimumStepSize() const override { return 0; }
};

class SwitchAccessible : public Instrument {
public:
    explicit SwitchAccessible(TAbRockerSwitch* w) : Instrument(w, QAccessible::CheckBox) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = Instrument::state();
        s.checkable = true;
        s.checked = sw()->Checked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{QAccessibleActionInterface::pressAction(), QAccessibleActionInterface::toggleAction()}
               + Instrument::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == QAccessibleActionInterface::pressAction()
            || action == QAccessibleActionInterface::toggleAction())
            sw()->Press();
        else
            Instrument::doAction(action);
    }

protected:
    QString label() const override { return sw()->Caption(); }
    QString shown() const override { return sw()->Caption(); }

private:
    TAbRockerSwitch* sw() const { return static_cast<TAbRockerSwitch*>(widget()); }
};

class ButtonAccessible : public Instrument {
public:
    explicit ButtonAccessible(TAbColBitBtn* w) : Instrument(w, QAccessible::Button) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = Instrument::state();
        // Only a lit button reads as pressed; plain push buttons stay plain.
        s.checkable = btn()->Checked();
        s.checked = btn()->Checked();
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{QAccessibleActionInterface::pressAction()} + Instrument::actionNames();
    }
    void doAction(const QString& action) override
    {
        if (action == QAccessibleActionInterface::pressAction())
            btn()->Press();
        else
            Instrument::doAction(action);
    }

protected:
    // The leading blanks only place the caption on the face.
    QString label() const override { return btn()->ShownText().trimmed(); }
    QString shown() const override { return btn()->ShownText().trimmed(); }

private:
    TAbColBitBtn* btn() const { return static_cast<TAbColBitBtn*>(widget()); }
};

class ValueIndAccessible : public Instrument {
public:
    explicit ValueIndAccessible(TAbValueInd* w) : Instrument(w, QAccessible::StaticText) {}

protected:
    QString label() const override { return ind()->Name1(); }
    QString shown() const override { return ind()->DisplayText(); }

private:
    TAbValueInd* ind() const { return static_cast<TAbValueInd*>(widget()); }
};

class VBarAccessible : public LevelInstrument {
public:
    explicit VBarAccessible(TAbVBar* w) : LevelInstrument(w, QAccessible::ProgressBar) {}

    QVariant currentValue() const override { return double(bar()->Value()); }
    QVariant maximumValue() const override { return bar()->ScaleMax(); }
    QVariant minimumValue() const override { return bar()->ScaleMin(); }

protected:
    QString label() const override
    {
        return (bar()->Name1() + QLatin1Char(' ') + bar()->Name2()).trimmed();
    }
    QString shown() const override { return bar()->DisplayText(); }

private:
    TAbVBar* bar() const { return static_cast<TAbVBar*>(widget()); }
};

class ThermometerAccessible : public LevelInstrument {
public:
    explicit ThermometerAccessible(TAbThermometer* w) : LevelInstrument(w, QAccessible::ProgressBar) {}

    // The stored value, even beyond the scale: a reader should hear 51,2,
    // not the scale's top.
    QVariant currentValue() const override { return double(th()->Value()); }
    QVariant maximumValue() const override { return th()->ScaleMax(); }
    QVariant minimumValue() const override { return th()->ScaleMin(); }

protected:
    QString label() const override { return th()->Name1(); }
    QString shown() const override { return th()->DisplayText(); }

private:
    TAbThermometer* th() const { return static_cast<TAbThermometer*>(widget()); }
};

class LedAccessible : public Instrument {
public:
    explicit LedAccessible(TAbLED* w) : Instrument(w, QAccessible::Indicator) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = Instrument::state();
        s.checkable = true;
        s.checked = static_cast<TAbLED*>(widget())->Checked();
        return s;
    }

protected:
    QString label() const override { return QString(); }
    QString shown() const override { return QString(); }
};

class ClockAccessible : public Instrument {
public:
    explicit ClockAccessible(TAbClock* w) : Instrument(w, QAccessible::StaticText) {}

protected:
    QString label() const override { return clock()->ShownText(); }
    QString shown() const override { return clock()->ShownText(); }

private:
    TAbClock* clock() const { return static_cast<TAbClock*>(widget()); }
};

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (auto* w = qobject_cast<TAbRockerSwitch*>(object))
        return new SwitchAccessible(w);
    if (auto* w = qobject_cast<TAbColBitBtn*>(object))
        return new ButtonAccessible(w);
    if (auto* w = qobject_cast<TAbValueInd*>(object))
        return new ValueIndAccessible(w);
    if (auto* w = qobject_cast<TAbVBar*>(object))
        return new VBarAccessible(w);
    if (auto* w = qobject_cast<TAbThermometer*>(object))
        return new ThermometerAccessible(w);
    if (auto* w = qobject_cast<TAbLED*>(object))
        return new LedAccessible(w);
    if (auto* w = qobject_cast<TAbClock*>(object))
        return new ClockAccessible(w);
    return nullptr;
}

}  // namespace

namespace InstrumentAccessibility {

namespace {
Observer& observer()
{
    static Observer instance;
    return instance;
}

// True when someone is to be told: the test observer sees every
// notification, a client only while the platform says one listens.
bool announce(QWidget* widget, QAccessible::Event type)
{
    if (observer())
        observer()(widget, type);
    return QAccessible::isActive();
}
}  // namespace

void SetObserver(Observer o)
{
    observer() = std::move(o);
}

void Install()
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    (void)installed;
}

void ValueChanged(QWidget* widget, const QVariant& value)
{
    if (!announce(widget, QAccessible::ValueChanged))
        return;
    QAccessibleValueChangeEvent event(widget, value);
    QAccessible::updateAccessibility(&event);
}

void NameChanged(QWidget* widget)
{
    if (!announce(widget, QAccessible::NameChanged))
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void CheckedChanged(QWidget* widget)
{
    if (!announce(widget, QAccessible::StateChanged))
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(widget, changed);
    QAccessible::updateAccessibility(&event);
}

}  // namespace InstrumentAccessibility
