#include "user_dialogs.h"

UserDialogs::~UserDialogs() = default;
