// The window opens on the start place it is given, those of its captures selected.

#include "dialog_fixture.h"

#include <QLabel>

using StartDialog = DialogTest;

TEST_F(StartDialog, OpensOnItsStartPlaceWithThoseEntriesSelected)
{
    for (const char* name : {"a.DT", "b.DT", "c.DT", "d.DT"})
        Put(name, ValidCapture({60}));
    dlg = std::make_unique<CConverterDlg>();
    dlg->SetStartPlace({Dir(), {"d.DT", "b.DT", "missing.DT"}});
    ASSERT_TRUE(dlg->Create());
    EXPECT_EQ(dlg->m_strFolder, Dir());
    EXPECT_EQ(dlg->m_stcFolder->toolTip().toStdString(), Dir());
    EXPECT_EQ(Entries(), (QStringList{"a.DT", "b.DT", "c.DT", "d.DT"}));
    EXPECT_EQ(SelectedRows(), (std::vector<int>{1, 3}));
}
