// Driving the points panels as a user would: typing into the entries, clicking the buttons, and
// reading the lists back.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <QtTest>
#include <functional>
#include <memory>
#include <string>

#include "engine/Session.h"
#include "options/OptionFile.h"
#include "platform/ScriptedPlatform.h"
#include "support/TempDir.h"
#include "support/UserInput.h"
#include "ui/NumberEntry.h"
#include "ui/PointsPanel.h"

namespace s2t::test {

// A session with the start-up calibration and a program folder of its own, a scripted platform,
// and a count of the calibration changes that panels report.
struct PanelSession {
    TempDir dir;
    Session session;
    ScriptedPlatform platform;
    int changes = 0;

    PanelSession() {
        session.projectDir = dir.path();
        session.calibration.installStartupValues();
    }
    std::function<void()> countChanges() {
        return [this] { ++changes; };
    }
    std::string defaultFile() const { return defaultOptionsPath(session.projectDir); }

    // A panel over this session, shown without waiting for it.
    template <class Panel>
    std::unique_ptr<Panel> open() {
        auto panel = std::make_unique<Panel>(nullptr, session, platform, countChanges());
        panel->show();
        return panel;
    }
};

inline QStringList itemTexts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
}

// The slot index that the item at row names.
inline int slotOf(const QListWidget* list, int row) { return list->item(row)->data(Qt::UserRole).toInt(); }

inline void addPoint(ui::PointsPanel& panel, const QString& twoTheta, const QString& channel) {
    typeInto(panel.twoThetaEntry(), twoTheta);
    typeInto(panel.channelEntry(), channel);
    QTest::mouseClick(panel.addButton(), Qt::LeftButton);
}

inline void selectAndRemove(ui::PointsPanel& panel, int row) {
    panel.pointList()->setCurrentRow(row);
    QTest::mouseClick(panel.removeButton(), Qt::LeftButton);
}

}  // namespace s2t::test
