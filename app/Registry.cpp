#include "app/Registry.h"

#include "platform/Errors.h"

namespace vantorel {

bool TRegistry::OpenKey(RegistryRoot root, const std::string& path, RegistryAccess access, bool create) {
  key_.reset();
  key_ = port_.OpenKey(root, path, access, create);
  return key_ != nullptr;
}

std::optional<RegistryValue> TRegistry::Query(const std::string& name) {
  if (!key_) return std::nullopt;
  return key_->QueryValue(name);
}

std::int32_t TRegistry::ReadInteger(const std::string& name) {
  const std::optional<RegistryValue> value = Query(name);
  if (!value) throw ERegistryError(FormatText(kGetDataFailed, {name}));
  if (value->type != RegistryType::Integer) throw ERegistryError(FormatText(kInvalidDataType, {name}));
  return value->integer;
}

std::string TRegistry::ReadString(const std::string& name) {
  const std::optional<RegistryValue> value = Query(name);
  if (!value) return {};
  if (value->type != RegistryType::String) throw ERegistryError(FormatText(kInvalidDataType, {name}));
  return value->text;
}

void TRegistry::Write(const std::string& name, const RegistryValue& value) {
  if (!key_ || !key_->SetValue(name, value)) throw ERegistryError(FormatText(kSetDataFailed, {name}));
}

void TRegistry::WriteInteger(const std::string& name, std::int32_t value) {
  Write(name, RegistryValue{RegistryType::Integer, value, {}});
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  Write(name, RegistryValue{RegistryType::String, 0, value});
}

}  // namespace vantorel
