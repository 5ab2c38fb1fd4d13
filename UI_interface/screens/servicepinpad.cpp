#include "servicepinpad.h"
#include "ui_servicepinpad.h"

#include "globalvariable.h"
#include "idleclose.h"
#include "screensetup.h"
#include "servicepin.h"
#include "styletokens.h"

#include <QButtonGroup>
#include <QTimer>

namespace {
constexpr int BackspaceKey = 11;

QString countdown(int seconds)
{
    return QString("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

ServicePinPad::ServicePinPad(ServicePin *pin, QWidget *parent)
    : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), ui(new Ui::ServicePinPad),
      m_pin(pin), m_keys(new QButtonGroup(this)), m_lockCountdown(new QTimer(this)), m_idle(new IdleClose(this))
{
    ui->setupUi(this);
    // The keypad's card, keys and sheets, at the keypad's place.
    setupPopupWindow(this, ui->frame, keyboard_window_sty, 12, 6, 40, 29,
                     Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    ui->frame->lower();
    ui->label_head->setGeometry(unitRect(0, 1, 40, 3));

    ui->lineEdit->setGeometry(unitRect(4, 4.5, 32, 4));
    ui->lineEdit->setStyleSheet(servicepin_entry_sty);
    ui->lineEdit->setMaxLength(ServicePin::MaxDigits);
    // Dots apart, so that a technician counts them at a glance.
    QFont entryFont = ui->lineEdit->font();
    entryFont.setLetterSpacing(QFont::AbsoluteSpacing, 14);
    ui->lineEdit->setFont(entryFont);
    // Only the keys write the entry: no cursor, no typing, no copying.
    ui->lineEdit->setFocusPolicy(Qt::NoFocus);
    ui->lineEdit->setAttribute(Qt::WA_TransparentForMouseEvents);
    ui->lineEdit->setContextMenuPolicy(Qt::NoContextMenu);

    // 1 2 3 / 4 5 6 / 7 8 9 / _ 0 backspace, as on the keypad.
    QPushButton *const keys[12] = {ui->pushButton_1, ui->pushButton_2, ui->pushButton_3, ui->pushButton_4,
                                   ui->pushButton_5, ui->pushButton_6, ui->pushButton_7, ui->pushButton_8,
                                   ui->pushButton_9, nullptr, ui->pushButton_0, ui->pushButton_backspace};
    placeKeypadKeys(keys, servicepin_key_sty);
    ui->pushButton_backspace->setStyleSheet(servicepin_backspace_sty);
    QPushButton *const digits[10] = {ui->pushButton_0, ui->pushButton_1, ui->pushButton_2, ui->pushButton_3,
                                     ui->pushButton_4, ui->pushButton_5, ui->pushButton_6, ui->pushButton_7,
                                     ui->pushButton_8, ui->pushButton_9};
    for (int d = 0; d < 10; ++d)
        m_keys->addButton(digits[d], d);
    m_keys->addButton(ui->pushButton_backspace, BackspaceKey);
    connect(m_keys, &QButtonGroup::idClicked, this, &ServicePinPad::num_buttonClicked);

    placeKeypadButtons(ui->pushButton_cancel, keyboar_cancel_sty, ui->pushButton_confirm, servicepin_confirm_sty);

    // While locked, the time left counts down once a second.
    m_lockCountdown->setObjectName("lockCountdown");
    m_lockCountdown->setInterval(1000);
    connect(m_lockCountdown, &QTimer::timeout, this, &ServicePinPad::showState);
    connect(m_idle, &IdleClose::idle, this, &ServicePinPad::on_pushButton_cancel_clicked);
    showHead(tr("Enter the service PIN"), false);
}

ServicePinPad::~ServicePinPad()
{
    delete ui;
}

void ServicePinPad::showHead(const QString &text, bool warning)
{
    ui->label_head->setText("<p style='" + font_H3 + (warning ? "color:" + Secondary_Dark : QString("color:black;"))
                            + "text-align:center;" + "'>" + text.toHtmlEscaped() + "</p>");
}

void ServicePinPad::showEntry()
{
    ui->lineEdit->setText(m_entry);
}

// The head and the keys as the store has it: locked with the time left, or
// open for an entry.
void ServicePinPad::showState()
{
    const ServicePin::State state = m_pin->state();
    m_locked = state.lockSecondsLeft > 0;
    for (QAbstractButton *key : m_keys->buttons())
        key->setEnabled(!m_locked);
    ui->pushButton_confirm->setEnabled(!m_locked);
    if (m_locked) {
        showHead(tr("Locked: try again in %1").arg(countdown(state.lockSecondsLeft)), true);
        if (!m_lockCountdown->isActive() && isVisible())
            m_lockCountdown->start();
        return;
    }
    m_lockCountdown->stop();
    if (!state.set)
        showHead(tr("No service PIN is set"), true);
    else if (state.attemptsLeft < ServicePin::MaxAttempts)
        showHead(state.attemptsLeft == 1 ? tr("Wrong PIN: 1 try left")
                                         : tr("Wrong PIN: %1 tries left").arg(state.attemptsLeft),
                 true);
    else
        showHead(tr("Enter the service PIN"), false);
}

void ServicePinPad::page_show()
{
    m_entry.clear();
    showEntry();
    show();
    raise();
    activateWindow();
    showState();
    m_idle->start();
}

void ServicePinPad::page_hide()
{
    m_lockCountdown->stop();
    m_idle->stop();
    m_entry.clear();
    showEntry();
    hide();
}

void ServicePinPad::num_buttonClicked(int id)
{
    if (m_locked)
        return;
    if (id >= 0 && id <= 9) {
        if (m_entry.size() < ServicePin::MaxDigits)
            m_entry.append(QChar('0' + id));
    } else if (id == BackspaceKey) {
        m_entry.chop(1);
    } else {
        return;
    }
    showEntry();
}

void ServicePinPad::on_pushButton_confirm_clicked()
{
    if (m_entry.isEmpty())
        return;
    const QString entry = m_entry;
    m_entry.clear();
    showEntry();
    if (m_pin->check(entry) == ServicePin::Result::Accepted) {
        showHead(tr("Enter the service PIN"), false);
        emit signal_pin_accepted();
        return;
    }
    showState();
}

void ServicePinPad::on_pushButton_cancel_clicked()
{
    page_hide();
    emit jump_back();
}
