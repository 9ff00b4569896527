#include "platform/report/rendered.h"

#include "platform/report/mustache.h"

namespace report {

QString Rendered::body() const {
    return detail::fill(bodyTemplate, detail::toMap(context));
}

}  // namespace report
