#pragma once

#include "fieldorder.h"
#include "wizardsettings.h"

#include <QWidget>

#include <array>

class QAction;
class QGroupBox;
class QListWidget;
class QRadioButton;
class QToolBar;

// The parsing choices as the user edits them: the engine options opEngine,
// the two field order lists lstFields with their move toolbars tbMoveFields,
// and the "Default Settings" frame with opDefault. The Add Wizard and the
// preferences dialog both show it.
class ParsingOptions : public QWidget
{
    Q_OBJECT

public:
    // How the parts stand: one above the other (the Add Wizard's tall
    // area), or the two field lists side by side over the frame, for a
    // page that is wider than it is tall.
    enum class Arrangement
    {
        Stacked,
        SideBySide,
    };

    explicit ParsingOptions(QWidget *parent = nullptr,
                            Arrangement arrangement = Arrangement::Stacked);

    // LoadWizardSettings: chooses the buttons and fills both lists.
    void load(const WizardSettings &settings);
    // What SaveWizardSettings writes: the choices as shown now.
    WizardSettings choices() const;

    int engine() const;
    void setEngine(int engine);
    FieldOrder fieldOrder(int index) const;
    void setFieldOrder(int index, const FieldOrder &order);

    // Move Up or Move Down (key "tbUp" or "tbDown") in list `index`.
    void tbMoveFields_ButtonClick(int index, const QString &key);

    QRadioButton *opEngine(int index) const { return m_opEngine[static_cast<size_t>(index)]; }
    QRadioButton *opDefault(int index) const { return m_opDefault[static_cast<size_t>(index)]; }
    QListWidget *lstFields(int index) const { return m_lstFields[static_cast<size_t>(index)]; }
    QToolBar *tbMoveFields(int index) const { return m_tbMoveFields[static_cast<size_t>(index)]; }

private:
    // Enabling by engine: only the list and toolbar of the chosen engine.
    void opEngine_Click();

    std::array<QRadioButton *, 3> m_opEngine{};
    std::array<QRadioButton *, 3> m_opDefault{};
    std::array<QListWidget *, 2> m_lstFields{};
    std::array<QToolBar *, 2> m_tbMoveFields{};
    QGroupBox *m_fraDefault = nullptr;
};
