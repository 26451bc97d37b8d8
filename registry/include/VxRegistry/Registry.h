#pragma once

#include "RegistryError.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The registry layer's face for code that holds UTF-8 text. Every operation records one
// RegistryError in the object and, when the pointer is given, in the caller's variable.
class Registry {
public:
    virtual ~Registry() = default;

    virtual std::int32_t GetSubKeyCount(const std::string& key, RegistryError* error = nullptr) = 0;
    virtual std::string GetSubKeyPath(const std::string& key, std::uint32_t index, RegistryError* error = nullptr) = 0;
    virtual std::int32_t EnumSubKeys(const std::string& key, std::vector<std::string>& names,
                                     RegistryError* error = nullptr) = 0;
    virtual std::int32_t GetValueCount(const std::string& key, RegistryError* error = nullptr) = 0;
    virtual std::int32_t EnumValueNames(const std::string& key, std::vector<std::string>& names,
                                        RegistryError* error = nullptr) = 0;
    virtual bool CreateSubKey(const std::string& parent, const std::string& name, RegistryError* error = nullptr) = 0;
    virtual bool DeleteSubKey(const std::string& parent, const std::string& name, RegistryError* error = nullptr) = 0;
    virtual bool ReadString(const std::string& key, const std::string& name, std::string& value,
                            RegistryError* error = nullptr) = 0;
    virtual bool WriteString(const std::string& key, const std::string& name, const std::string& value,
                             RegistryError* error = nullptr) = 0;
    virtual bool ReadString(const std::string& key, const std::string& name, std::wstring& value,
                            RegistryError* error = nullptr) = 0;
    virtual bool WriteString(const std::string& key, const std::string& name, const std::wstring& value,
                             RegistryError* error = nullptr) = 0;
    virtual bool ReadBinary(const std::string& key, const std::string& name, std::vector<std::uint8_t>& data,
                            RegistryError* error = nullptr) = 0;
    virtual bool WriteBinary(const std::string& key, const std::string& name, const std::vector<std::uint8_t>& data,
                             RegistryError* error = nullptr) = 0;
    virtual bool ReadDword(const std::string& key, const std::string& name, std::uint32_t& value,
                           RegistryError* error = nullptr) = 0;
    virtual bool WriteDword(const std::string& key, const std::string& name, std::uint32_t value,
                            RegistryError* error = nullptr) = 0;
    virtual bool ReadMultiString(const std::string& key, const std::string& name, std::vector<std::string>& values,
                                 RegistryError* error = nullptr) = 0;
    virtual bool WriteMultiString(const std::string& key, const std::string& name,
                                  const std::vector<std::string>& values, RegistryError* error = nullptr) = 0;
    virtual bool DeleteValue(const std::string& key, const std::string& name, RegistryError* error = nullptr) = 0;
    virtual bool CopyKey(const std::string& source, const std::string& destination, RegistryError* error = nullptr) = 0;
    virtual bool CopyValue(const std::string& sourceKey, const std::string& sourceName,
                           const std::string& destinationKey, const std::string& destinationName,
                           RegistryError* error = nullptr) = 0;
    virtual bool DeleteKeyTree(const std::string& parent, const std::string& name, RegistryError* error = nullptr) = 0;
    virtual void SetRootKey(HKEY root) = 0;
};
