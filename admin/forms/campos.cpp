#include "admin/forms/campos.h"

#include "capture_control/ccaptura.h"

#include <QLineEdit>

namespace admin {

}  // namespace admin
