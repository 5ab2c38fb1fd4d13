#ifndef TST_HOME_LOOK_H
#define TST_HOME_LOOK_H

// Shared by the customer-screen tests: a stand-in for the main window's
// panel, the rendering of a page with its popups over the veil, and the
// faults a driver would see: a face that is not Roboto, a text bigger than
// its box.

#include "globalvariable.h"

#include <QAbstractButton>
#include <QDir>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTextBlock>
#include <QTextDocument>
#include <QWidget>

// The 1280 x 800 dark panel with the status bar strip; screens are placed in
// it as the main window places them.
class LookPanel : public QWidget
{
public:
    LookPanel()
    {
        resize(ActScreenX, ActScreenY);
        QFont f = font();
        f.setFamily("Roboto");
        setFont(f);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(0x00, 0x0D, 0x12));
        setPalette(pal);
        setAutoFillBackground(true);
        auto *bar = new QLabel(this);
        bar->setGeometry(unitRect(0, 0, 64, 2));
        bar->setStyleSheet(statusbar_backgound + font_S + font_color_basic + alignment_C);
        bar->setText(statusbar_str);
    }
};

// The panel as shown; popups (top-level windows placed in panel coordinates)
// are drawn over the veil the main window lays behind them.
inline QImage renderPanel(QWidget *panel, const QList<QWidget *> &popups = {})
{
    QImage img = panel->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (!popups.isEmpty()) {
        QPainter p(&img);
        p.fillRect(img.rect(), QColor(0, 0, 0, 178));
        for (QWidget *w : popups)
            p.drawPixmap(w->geometry().topLeft(), w->grab());
    }
    return img;
}

// Written only when HMI_SHOT_DIR names a directory, for looking at by eye.
inline void saveShot(const QImage &img, const QString &name)
{
    const QString dir = qEnvironmentVariable("HMI_SHOT_DIR");
    if (dir.isEmpty())
        return;
    QDir().mkpath(dir);
    img.save(QDir(dir).filePath(name + ".png"));
}

inline bool isRoboto(const QFont &f)
{
    return QFontInfo(f).family().startsWith("Roboto");
}

// Every text-bearing widget under root (root included): its face must be a
// Roboto one, rich-text runs included, and its text must fit its box.
inline QStringList lookFaults(QWidget *root)
{
    QStringList faults;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        if (!w->isVisibleTo(root) && w != root)
            continue;
        w->ensurePolished();
        const QString name = w->objectName();
        const QFontMetrics fm(w->font());
        if (auto *label = qobject_cast<QLabel *>(w)) {
            if (label->text().isEmpty())
                continue;
            if (!isRoboto(label->font()))
                faults << name + ": face " + QFontInfo(label->font()).family();
            if (Qt::mightBeRichText(label->text())) {
                QTextDocument doc;
                doc.setDefaultFont(label->font());
                doc.setHtml(label->text());
                for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
                    for (auto it = b.begin(); !it.atEnd(); ++it) {
                        const QFont rf = it.fragment().charFormat().font();
                        if (!isRoboto(rf))
                            faults << name + ": run '" + it.fragment().text() + "' in " + QFontInfo(rf).family();
                    }
                }
            }
            const QSize need = label->sizeHint();
            const bool tooTall = label->wordWrap() ? label->heightForWidth(label->width()) > label->height()
                                                   : need.height() > label->height();
            if (tooTall || (!label->wordWrap() && need.width() > label->width()))
                faults << QString("%1: needs %2x%3, has %4x%5")
                              .arg(name)
                              .arg(need.width())
                              .arg(label->wordWrap() ? label->heightForWidth(label->width()) : need.height())
                              .arg(label->width())
                              .arg(label->height());
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            if (button->text().isEmpty())
                continue;
            if (!isRoboto(button->font()))
                faults << name + ": face " + QFontInfo(button->font()).family();
            if (fm.horizontalAdvance(button->text()) > button->width() - 8 || fm.height() > button->height())
                faults << name + ": text '" + button->text() + "' does not fit";
        } else if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            if (!isRoboto(edit->font()))
                faults << name + ": face " + QFontInfo(edit->font()).family();
            if (fm.horizontalAdvance(edit->text()) > edit->width() - 8 || fm.height() > edit->height())
                faults << name + ": text '" + edit->text() + "' does not fit";
        }
    }
    return faults;
}

#define CHECK_LOOK(root)                                                                                     \
    do {                                                                                                     \
        const QStringList faults_ = lookFaults(root);                                                        \
        QVERIFY2(faults_.isEmpty(), qPrintable(faults_.join("; ")));                                          \
    } while (0)

#endif // TST_HOME_LOOK_H
