// lumaVeil's stand-in of the Arnold SDK: closures, the weighted lobes a
// surface shader returns, and lists of them.
#pragma once

#include <cstdint>

#include "ai_types.h"

// One closure, made by one of the AiClosure* functions.
class AtClosure {
public:
    AtClosure() = default;
    AtClosure(AtClosureBase* base) : base_(base) {}

    AtClosureBase* data() const { return base_; }
    bool is_empty() const { return base_ == nullptr; }

private:
    AtClosureBase* base_ = nullptr;
};

extern "C" {
// Appends `closure` (and whatever follows it) to the list starting at `list`;
// gives the list's new first closure.
AI_API AtClosureBase* AiClosureListAdd(AtClosureBase* list, AtClosureBase* closure);
// Multiplies the weight of every closure of the list.
AI_API AtClosureBase* AiClosureListWeight(AtClosureBase* list, const AtRGB& weight);
}

class AtClosureList {
public:
    AtClosureList() = default;
    AtClosureList(const AtClosure& closure) : first_(closure.data()) {}

    void add(const AtClosure& closure) { first_ = AiClosureListAdd(first_, closure.data()); }
    void add(const AtClosureList& list) { first_ = AiClosureListAdd(first_, list.first_); }
    AtClosureList& operator*=(const AtRGB& weight) {
        first_ = AiClosureListWeight(first_, weight);
        return *this;
    }
    AtClosureList& operator*=(float weight) { return *this *= AtRGB(weight); }
    AtClosure front() const { return AtClosure(first_); }
    bool empty() const { return first_ == nullptr; }

private:
    AtClosureBase* first_ = nullptr;
};

struct AtShaderGlobals;

// Functions of C linkage that return the SDK's small value types, as the
// SDK's own headers declare them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {
AI_API AtClosure AiClosureEmission(const AtShaderGlobals* sg, const AtRGB& weight);
AI_API AtClosure AiClosureTransparent(const AtShaderGlobals* sg, const AtRGB& weight = AI_RGB_WHITE,
                                      const AtClosureList interior = AtClosureList(),
                                      int32_t importance = 0);
AI_API AtClosure AiClosureMatte(const AtShaderGlobals* sg, const AtRGB& weight = AI_RGB_WHITE);
}
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
