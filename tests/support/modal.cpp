#include "tests/support/modal.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include <memory>

void AnswerNextModal(std::function<void(QWidget*)> answer, int timeoutMs)
{
    auto* timer = new QTimer(qApp);
    auto deadline = std::make_shared<QDeadlineTimer>(timeoutMs);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer, deadline] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            answer(modal);
        } else if (deadline->hasExpired()) {
            timer->stop();
            timer->deleteLater();
        }
    });
    timer->start();
}

void PressInNextMessageBox(const QString& buttonText, QString* seenText, int timeoutMs)
{
    AnswerNextModal(
        [buttonText, seenText](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) {
                w->close();
                return;
            }
            if (seenText)
                *seenText = box->text();
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == buttonText || b->text().remove(QLatin1Char('&')) == QString(buttonText).remove(QLatin1Char('&'))) {
                    b->click();
                    return;
                }
            }
            box->reject();
        },
        timeoutMs);
}

void AnswerNextSaveDialog(const QString& path, int timeoutMs)
{
    AnswerNextModal(
        [path](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            if (!dialog) {
                w->close();
                return;
            }
            const QFileInfo chosen(path);
            dialog->setDirectory(chosen.absolutePath());
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            // The dialog lists the folder in the background and may drop a
            // name typed before that is done: type until it takes it.
            WaitUntil(
                [&] {
                    if (name)
                        name->setText(chosen.fileName());
                    else
                        dialog->selectFile(path);
                    QMetaObject::invokeMethod(dialog, "accept");
                    return !dialog->isVisible();
                },
                3000);
            if (dialog->isVisible()) {
                dialog->close();
                return;
            }
            if (QFileInfo::exists(path))
                PressInNextMessageBox(QStringLiteral("&Yes"));
        },
        timeoutMs);
}
