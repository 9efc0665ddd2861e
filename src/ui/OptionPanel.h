// What the three output option panels share: a modal panel with a form of entries above an OK and
// a Cancel button. OK runs the panel's store step, which may refuse and keep the panel open;
// Cancel, Escape and the close box all reject, so closing acts as Cancel.
#pragma once

#include <QDialog>

class QFormLayout;
class QPushButton;
class QVBoxLayout;

namespace s2t::ui {

class NumberEntry;

class OptionPanel : public QDialog {
    Q_OBJECT
public:
    // description: one line above the entries saying what they do.
    OptionPanel(const QString& title, const QString& description, QWidget* parent);

    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }

    // OK: stores the entries into the settings record; closes the panel only if they were stored.
    void accept() override;

protected:
    // Stores the entries; false (after telling the user why) keeps the panel open.
    virtual bool store() = 0;

    QFormLayout* form() const { return form_; }
    // A labelled number entry in the form, named for the tests.
    NumberEntry* addNumberRow(const QString& label, const char* name);
    QVBoxLayout* body() const { return body_; }

private:
    QVBoxLayout* body_;
    QFormLayout* form_;
    QPushButton* okButton_;
    QPushButton* cancelButton_;
};

}  // namespace s2t::ui
