#include "about_dialog.h"

#include "resources.h"

AboutDialog::AboutDialog(Platform& platform) : Dialog(aboutDialogTemplate(), platform) {}
