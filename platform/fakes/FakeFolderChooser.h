#pragma once
#include "platform/FolderChooser.h"

#include <vector>

namespace platform {

// A folder chooser that answers with `Answer` at once and records every title it was shown with.
class FakeFolderChooser : public IFolderChooser {
public:
    FolderChoice ChooseFolder(const std::string& title) override {
        Titles.push_back(title);
        return Answer;
    }
    FolderChoice Answer;
    std::vector<std::string> Titles;
};

} // namespace platform
