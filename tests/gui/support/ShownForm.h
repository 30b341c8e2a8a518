#pragma once

#include "core/Link.h"
#include "core/Project.h"
#include "editor/LinkListView.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "support/FakeUiServices.h"

#include <QApplication>
#include <QTabBar>
#include <QTest>

#include <vector>

// A project and its form, filled, shown and active, with the fake UI
// services installed for its lifetime.
struct ShownForm {
    FakeUiServices ui;
    ProjectDocument document;
    Project& doc = document.project();
    ProjectForm view{&document};

    ShownForm() {
        view.loadFromProject();
        view.show();
        QApplication::setActiveWindow(&view);
        if (!QTest::qWaitForWindowActive(&view))
            qWarning("form not active");
    }
    template <typename T> T* child(const char* name) {
        T* w = view.findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qWarning("no control %s", name);
        return w;
    }
    LinkListView* list() { return view.linkList(); }
    QTabBar* tabs() { return view.tabBar(); }
    // The list's rows as links.
    std::vector<Link> rows() {
        std::vector<Link> out;
        for (int r = 0; r < list()->linkCount(); ++r)
            out.emplace_back(list()->cellText(r, 0), list()->cellText(r, 1));
        return out;
    }
};
