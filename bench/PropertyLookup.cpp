// Published property access by name, as scripts do it on every member use.

#include "Handles.h"
#include "Objects.h"
#include "TypeInfo.h"

#include <benchmark/benchmark.h>

namespace {

class TBenchObject : public plat::TComponent {
    PLAT_CLASS(TBenchObject, plat::TComponent)
public:
    explicit TBenchObject(plat::TComponent* owner) : plat::TComponent(owner) {}
    double Left() const { return m_left; }
    void SetLeft(double v) { m_left = v; }
    int Count() const { return m_count; }
    void SetCount(int v) { m_count = v; }
    QString Caption() const { return m_caption; }
    void SetCaption(const QString& v) { m_caption = v; }

private:
    double m_left = 0;
    int m_count = 0;
    QString m_caption;
};

PLAT_DEFINE_CLASS(TBenchObject, c)
{
    for (int i = 0; i < 40; ++i)
        c.property(QStringLiteral("Filler%1").arg(i), &TBenchObject::Count, &TBenchObject::SetCount);
    c.property("Left", &TBenchObject::Left, &TBenchObject::SetLeft);
    c.property("Count", &TBenchObject::Count, &TBenchObject::SetCount);
    c.property("Caption", &TBenchObject::Caption, &TBenchObject::SetCaption);
}

void BM_FindPropertyByName(benchmark::State& state)
{
    TBenchObject o(nullptr);
    const QString name = QStringLiteral("CAPTION");
    for (auto _ : state)
        benchmark::DoNotOptimize(plat::GetPropInfo(&o, name));
}
BENCHMARK(BM_FindPropertyByName);

void BM_SetAndGetOrdinalByName(benchmark::State& state)
{
    TBenchObject o(nullptr);
    int i = 0;
    for (auto _ : state) {
        plat::SetOrdProp(&o, u"count", ++i);
        benchmark::DoNotOptimize(plat::GetOrdProp(&o, u"Count"));
    }
}
BENCHMARK(BM_SetAndGetOrdinalByName);

void BM_VariantRoundTripByName(benchmark::State& state)
{
    TBenchObject o(nullptr);
    const plat::Variant v(2.5);
    for (auto _ : state) {
        plat::SetPropValue(&o, u"Left", v);
        benchmark::DoNotOptimize(plat::GetPropValue(&o, u"Left"));
    }
}
BENCHMARK(BM_VariantRoundTripByName);

void BM_HandleToObject(benchmark::State& state)
{
    std::vector<std::unique_ptr<TBenchObject>> objects;
    std::vector<quint32> handles;
    for (int i = 0; i < 10000; ++i) {
        objects.push_back(std::make_unique<TBenchObject>(nullptr));
        handles.push_back(plat::ObjectToHandle(objects.back().get()));
    }
    size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(plat::HandleToObject(handles[i]));
        i = (i + 1) % handles.size();
    }
}
BENCHMARK(BM_HandleToObject);

void BM_FindComponentAmongMany(benchmark::State& state)
{
    plat::TComponent owner(nullptr);
    for (int i = 0; i < 5000; ++i)
        (new plat::TComponent(&owner))->SetName(QStringLiteral("Memo%1").arg(i));
    for (auto _ : state)
        benchmark::DoNotOptimize(owner.FindComponent(u"memo4321"));
}
BENCHMARK(BM_FindComponentAmongMany);

} // namespace
