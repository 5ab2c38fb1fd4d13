#ifndef POPUPDIALOG_H
#define POPUPDIALOG_H

#include <QDialog>

// A popup over one of the main window's pages. It opens and closes only
// through the window's navigation, which records the page it belongs to:
// Escape on a keyboard at the panel (or a close request) leaves it up instead
// of hiding it behind the navigation's back.
class PopupDialog : public QDialog
{
public:
    using QDialog::QDialog;

    void reject() override {}
};

#endif // POPUPDIALOG_H
