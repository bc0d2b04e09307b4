#include "JobCheck.h"

#include <cctype>
#include <cmath>
#include <optional>

namespace appsrv {
namespace {

using rt::Variant;

[[noreturn]] void Reject(const std::string& reason) {
    throw EJobRejected("作业参数无效: " + reason);
}

// A one-dimensional array with the given low bound and at least minCount elements.
void NeedArray(const Variant& v, int low, int minCount, const std::string& what) {
    if (!v.IsArray() || v.DimCount() != 1) Reject(what + " 不是一维数组");
    if (v.ElementCount() > 0 && v.LowBound() != low)
        Reject(what + " 的下标应从 " + std::to_string(low) + " 开始");
    if (v.ElementCount() < minCount) Reject(what + " 的元素不足 " + std::to_string(minCount) + " 个");
}

std::string Text(const Variant& v, const std::string& what, bool required = false) {
    if (!v.IsText()) Reject(what + " 应为文字");
    std::string s = v.AsString();
    if (required && s.find_first_not_of(' ') == std::string::npos) Reject(what + " 不可空白");
    return s;
}

int Integer(const Variant& v, const std::string& what, int lo, int hi) {
    if (v.IsText() || v.IsArray() || !v.IsNumeric()) Reject(what + " 应为整数");
    const double d = v.AsDouble();
    if (d != std::floor(d) || d < lo || d > hi)
        Reject(what + " 应在 " + std::to_string(lo) + " 到 " + std::to_string(hi) + " 之间");
    return static_cast<int>(d);
}

double Moment(const Variant& v, const std::string& what) {
    const rt::TVarType t = v.VarType();
    if (t != rt::varDate && t != rt::varDouble) Reject(what + " 应为日期时间");
    const double d = v.AsDouble();
    // 1753-01-01 .. 9999-12-31 in days since 1899-12-30.
    if (!std::isfinite(d) || d < -53690 || d >= 2958466) Reject(what + " 超出日期范围");
    return d;
}

// A count sent as a text ("12"), or as a number.
int Count(const Variant& v, const std::string& what) {
    if (!v.IsText()) return Integer(v, what, 1, 999999);
    std::string s = v.AsString();
    s.erase(0, s.find_first_not_of(' '));
    s.erase(s.find_last_not_of(' ') + 1);
    if (s.empty() || s.size() > 6 || s.find_first_not_of("0123456789") != std::string::npos ||
        std::stoi(s) < 1)
        Reject(what + " 应为正整数");
    return std::stoi(s);
}

std::string Ymd(const Variant& v, const std::string& what) {
    const std::string s = Text(v, what);
    if (!IsYmd(s)) Reject(what + " 应为 YYYYMMDD 日期");
    return s;
}

void CheckCycle(const Variant& spec, JobSummary& m) {
    NeedArray(spec, 0, 2, "周期设定");
    const int kind = Integer(spec[0], "周期类别", 0, 3);
    m.CycleKind = kind;
    const Variant& p = spec[1];
    switch (kind) {
    case 0:
        Count(p, "每隔天数");
        break;
    case 1:
        NeedArray(p, 0, 2, "每周设定");
        Count(p[0], "每隔周数");
        Integer(p[1], "星期", 0, 6);
        break;
    case 2: {
        NeedArray(p, 0, 3, "每月设定");
        const int sub = Integer(p[0], "每月方式", 0, 1);
        Count(p[1], "每隔月数");
        if (sub == 0) {
            const int day = Count(p[2], "日");
            if (day > 31) Reject("日 应在 1 到 31 之间");
        } else {
            NeedArray(p, 0, 4, "每月设定");
            Integer(p[2], "第几周", 0, 4);
            Integer(p[3], "星期", 0, 6);
        }
        break;
    }
    default: {
        if (p.IsText() || !p.IsNumeric()) Reject("每隔小时数 应为数字");
        const double hours = p.AsDouble();
        if (!std::isfinite(hours) || hours <= 0) Reject("每隔小时数 应大于 0");
        break;
    }
    }
}

void CheckPeriod(const Variant& period, JobSummary& m) {
    NeedArray(period, 0, 4, "周期数组");
    if (Text(period[0], "周期标记") != "Y") Reject("周期标记 应为 \"Y\"");
    const std::string t = Text(period[1], "执行时间");
    if (t.size() != 5 || t[2] != ':' || !std::isdigit(static_cast<unsigned char>(t[0])) ||
        !std::isdigit(static_cast<unsigned char>(t[1])) || !std::isdigit(static_cast<unsigned char>(t[3])) ||
        !std::isdigit(static_cast<unsigned char>(t[4])) || std::stoi(t.substr(0, 2)) > 23 ||
        std::stoi(t.substr(3, 2)) > 59)
        Reject("执行时间 应为 HH:MM");
    m.RunTime = t;
    CheckCycle(period[2], m);

    const Variant& range = period[3];
    NeedArray(range, 0, 2, "周期范围");
    m.StartDate = Ymd(range[0], "开始日期");
    const int kind = Integer(range[1], "结束方式", 0, 2);
    m.RangeKind = kind;
    if (kind == 1) {
        NeedArray(range, 0, 3, "周期范围");
        m.RepeatCount = Count(range[2], "反复次数");
    } else if (kind == 2) {
        NeedArray(range, 0, 3, "周期范围");
        m.EndDate = Ymd(range[2], "退出日期");
        if (m.EndDate < m.StartDate) Reject("退出日期 早于开始日期");
    }
}

void CheckDynamicFields(const Variant& list) {
    NeedArray(list, 0, 1, "变动字段");
    const int n = Integer(list[0], "变动字段个数", 0, 1000000);
    if (list.HighBound() != n) Reject("变动字段个数与数组不符");
    for (int i = 1; i <= n; ++i) Text(list[i], "变动字段 " + std::to_string(i));
}

} // namespace

bool IsYmd(const std::string& s) {
    if (s.size() != 8 || s.find_first_not_of("0123456789") != std::string::npos) return false;
    const int y = std::stoi(s.substr(0, 4)), m = std::stoi(s.substr(4, 2)), d = std::stoi(s.substr(6, 2));
    if (y < 1753 || m < 1 || m > 12 || d < 1) return false;
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d <= days[m - 1] + (m == 2 && leap ? 1 : 0);
}

JobSummary CheckJob(const Variant& job) {
    if (!job.IsArray() || job.DimCount() != 1 || job.LowBound() != 0 ||
        (job.HighBound() != 2 && job.HighBound() != 4))
        Reject("作业数组应有 3 个元素 (周期性作业 5 个), 下标从 0 开始");
    JobSummary m;
    m.Periodic = job.HighBound() == 4;

    const Variant& env = job[0];
    NeedArray(env, 1, 9, "环境数组");
    m.EnvCount = Integer(env[2], "环境项 2 (环境项个数)", 9, 1000);
    if (env.HighBound() != m.EnvCount) Reject("环境项个数与环境数组不符");
    m.ConditionCount = Integer(env[3], "环境项 3 (条件个数)", 0, 100000);
    m.ProgramId = Text(env[1], "环境项 1 (程序代号)", true);
    m.CompanyId = Text(env[4], "环境项 4 (公司代号)");
    m.UserId = Text(env[5], "环境项 5 (用户代号)", true);
    m.DbName = Text(env[6], "环境项 6 (数据库)");
    m.ComposedAt = Moment(env[7], "环境项 7 (作业时间)");
    m.ServerProgId = Text(env[8], "环境项 8 (服务器组件)");
    m.ReportKind = Text(env[9], "环境项 9 (报表类别)", true);
    if (m.ReportKind.size() != 1 || !std::isalpha(static_cast<unsigned char>(m.ReportKind[0])))
        Reject("环境项 9 (报表类别) 应为一个字母");
    const bool lowerKind = std::islower(static_cast<unsigned char>(m.ReportKind[0])) != 0;
    if (lowerKind != m.Periodic) Reject("报表类别的大小写与周期性设置不符");
    m.RunAt = m.ComposedAt;
    if (m.EnvCount >= 12) {
        m.GenMode = Integer(env[10], "环境项 10 (生成方式)", 0, 2);
        m.RunAt = Moment(env[11], "环境项 11 (执行时间)");
        m.Notify = !Text(env[12], "环境项 12 (通知名单)").empty();
    }
    if (m.Periodic && m.GenMode != 2) Reject("周期性作业的生成方式应为 2");

    const Variant& texts = job[1];
    const Variant& values = job[2];
    NeedArray(texts, 1, m.ConditionCount, "条件文字");
    if (texts.ElementCount() != m.ConditionCount) Reject("条件文字个数与条件个数不符");
    for (int i = 1; i <= m.ConditionCount; ++i) {
        const Variant& pair = texts[i];
        if (!pair.IsArray() || pair.DimCount() != 1 || pair.ElementCount() != 2)
            Reject("条件文字 " + std::to_string(i) + " 应为 [标题, 控件名]");
    }
    if (!values.IsArray()) Reject("条件值 不是数组");
    NeedArray(values, 1, m.ConditionCount, "条件值");
    if (values.ElementCount() != m.ConditionCount) Reject("条件值个数与条件个数不符");

    if (m.Periodic) {
        CheckPeriod(job[3], m);
        CheckDynamicFields(job[4]);
    }
    return m;
}

} // namespace appsrv
