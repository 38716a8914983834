// What the buttons ask of the system's visual style: the system's version and the
// colour-scheme name of the current theme.
#pragma once

#include <optional>
#include <string>

namespace vantorel {

class ThemeQuery {
 public:
  struct Version {
    int major = 0;
    int minor = 0;
  };
  virtual ~ThemeQuery() = default;
  virtual Version SystemVersion() const = 0;
  // The current theme's colour-scheme name ("NormalColor", "Metallic", ...); nullopt
  // when the theme library or its function is missing. A failure the system reports
  // throws Exception.
  virtual std::optional<std::string> CurrentColorSchemeName() const = 0;
};

}  // namespace vantorel
