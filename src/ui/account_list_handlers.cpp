// Fills the main window's slots that this feature owns: the account list, its
// file and the "cookies操作" menu. A slot left empty makes its control do
// nothing.

#include "ui/account_list.h"
#include "ui/account_list_file.h"
#include "ui/main_window_setup.h"
#include "ui/own_thread.h"

void InstallAccountListHandlers(MainWindowHandlers& handlers, MainWindow* window) {
  (void)window;
  handlers.startAccountListLoader = [] { StartOnOwnThread(&LoadAccountList); };
  handlers.switchWorkingAccount = &SwitchWorkingAccount;
  handlers.addAccountFromPastedCookies = [] { AddAccountFromPastedCookies(); };
  handlers.saveAccountList = [] { SaveAccountList(0); };
  handlers.verifySelectedAccount = [] { StartOnOwnThread(&VerifySelectedAccount); };
  handlers.verifyAllAccounts = [] { StartOnOwnThread(&VerifyAllAccounts); };
  handlers.copySelectedCookies = &CopySelectedCookies;
  handlers.queryAccountQuota = [] { StartQuotaQuery(); };
  handlers.deleteSelectedAccount = &DeleteSelectedAccount;
}
