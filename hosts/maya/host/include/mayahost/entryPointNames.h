// The names a plug-in's entry points are exported under: the C name of a
// plug-in that defines them extern "C", or the C++ name of a function that
// takes an MObject and returns an MStatus, as the Itanium ABI (GCC, Clang,
// MinGW-w64) or MSVC decorates it, with the devkit's classes in namespace
// Autodesk::Maya::<apiNamespace> or, with an empty apiNamespace, in none.
// The stand-in Maya looks entry points up by these names; a tool that checks
// a plug-in before loading it reads them back.
#pragma once

#include <charconv>
#include <string>
#include <string_view>

namespace mayahost {

namespace entryPointNames {

// _Z and the length-prefixed name; the argument types follow, and the return
// type is not part of the name.
inline std::string itaniumHead(std::string_view function) {
    return "_Z" + std::to_string(function.size()) + std::string(function);
}
inline constexpr std::string_view itaniumApiScope = "N8Autodesk4Maya";

// ?name@@YA?AV<return class>V<argument class>@Z, each class named innermost
// scope first; a name seen before is referred back to by its index (0 the
// function, 1 MStatus, then the namespaces, innermost first).
inline std::string msvcHead(std::string_view function) {
    return "?" + std::string(function) + "@@YA?AVMStatus@";
}

}  // namespace entryPointNames

inline std::string itaniumEntryPointName(std::string_view function, std::string_view apiNamespace) {
    using namespace entryPointNames;
    return itaniumHead(function) +
           (apiNamespace.empty()
                ? std::string("7MObject")
                : std::string(itaniumApiScope) + std::to_string(apiNamespace.size()) +
                      std::string(apiNamespace) + "7MObjectE");
}

inline std::string msvcEntryPointName(std::string_view function, std::string_view apiNamespace) {
    using namespace entryPointNames;
    return msvcHead(function) +
           (apiNamespace.empty() ? std::string("@VMObject@@@Z")
                                 : std::string(apiNamespace) + "@Maya@Autodesk@@VMObject@234@@Z");
}

// Whether a symbol names the entry point `function` by any of these names,
// whatever the devkit's namespace: the namespace is read where the
// decoration spells it, and the name built again from it.
inline bool isEntryPointName(std::string_view symbol, std::string_view function) {
    using namespace entryPointNames;
    if (symbol == function) {
        return true;
    }
    if (const std::string head = itaniumHead(function); symbol.starts_with(head)) {
        std::string_view apiNamespace;
        if (std::string_view rest = symbol.substr(head.size()); rest.starts_with(itaniumApiScope)) {
            rest.remove_prefix(itaniumApiScope.size());
            std::size_t length = 0;
            const char* digitsEnd =
                std::from_chars(rest.data(), rest.data() + rest.size(), length).ptr;
            const std::size_t digits = static_cast<std::size_t>(digitsEnd - rest.data());
            apiNamespace = rest.substr(digits, length);
        }
        return symbol == itaniumEntryPointName(function, apiNamespace);
    }
    if (const std::string head = msvcHead(function); symbol.starts_with(head)) {
        const std::string_view rest = symbol.substr(head.size());
        return symbol == msvcEntryPointName(function, rest.substr(0, rest.find('@')));
    }
    return false;
}

}  // namespace mayahost
