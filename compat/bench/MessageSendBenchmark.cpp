// A cached message send against the calls it stands for in C++: a virtual call and a plain function
// call, each doing the same work (add one), uncontended and from four threads at once on one shared
// receiver. items_per_second counts the calls of all threads together.
#include <objc/message.h>
#include <objc/runtime.h>

#include <benchmark/benchmark.h>

namespace {

__attribute__((noinline)) long plainAddOne(long value) { return value + 1; }

struct Adder {
    virtual ~Adder() = default;
    virtual long addOne(long value) const = 0;
};

// Two implementations, out of line, so that the compiler can neither inline the call nor guess its
// one target (speculative devirtualisation): the benchmark measures a real indirect call.
struct OneAdder final : Adder {
    __attribute__((noinline)) long addOne(long value) const override { return value + 1; }
};

struct TwoAdder final : Adder {
    __attribute__((noinline)) long addOne(long value) const override { return value + 2; }
};

const Adder* chooseAdder(int which)
{
    static const OneAdder s_one;
    static const TwoAdder s_two;
    return which == 1 ? static_cast<const Adder*>(&s_one) : &s_two;
}

long addOneMethod(id, SEL, long value) { return value + 1; }

// One root class with the method, and one instance of it, shared by every thread.
struct tReceiver {
    tReceiver()
    {
        Class cls = objc_allocateClassPair(Nil, "QVSendBenchmark", 0);
        objc::addMethod(cls, objc::sel("addOne:"), &addOneMethod, "q@:q");
        objc_registerClassPair(cls);
        object = class_createInstance(cls, 0);
    }
    id object;
};

tReceiver& receiver()
{
    static tReceiver s_receiver;
    return s_receiver;
}

const objc::Selector s_addOne{"addOne:"};

void BM_PlainCall(benchmark::State& state)
{
    long value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(value = plainAddOne(value));
    state.SetItemsProcessed(state.iterations());
}

void BM_VirtualCall(benchmark::State& state)
{
    int which = 1;
    benchmark::DoNotOptimize(which);  // the type is known at run time only
    const Adder* adder = chooseAdder(which);
    long value = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(value = adder->addOne(value));
    state.SetItemsProcessed(state.iterations());
}

void BM_CachedSend(benchmark::State& state)
{
    id object = receiver().object;
    long value = objc::msgSend<long, long>(object, s_addOne, 0);  // fills the cache
    for (auto _ : state)
        benchmark::DoNotOptimize(value = objc::msgSend<long, long>(object, s_addOne, value));
    state.SetItemsProcessed(state.iterations());
}

// retain and release through the runtime's entry points (the root counting: one cached lookup
// each), each thread on an object of its own, as a shared count would measure the cache line.
void BM_RetainRelease(benchmark::State& state)
{
    id object = class_createInstance(object_getClass(receiver().object), 0);
    for (auto _ : state) {
        objc_retain(object);
        objc_release(object);
    }
    object_dispose(object);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_PlainCall)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_VirtualCall)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_CachedSend)->Threads(1)->Threads(4)->UseRealTime();
BENCHMARK(BM_RetainRelease)->Threads(1)->Threads(4)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
