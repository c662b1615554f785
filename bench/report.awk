# Turns the samples of script/bench into the table on standard output and the
# JSON file `json`. Plain POSIX awk (Debian's mawk): no asort, no gensub.
#
# Input, one a line:
#   <figure> <marvolt|baseline|baseline_quick> <value>   a measured run
#   imports <who> <dll> ...                               the DLLs a program imports
#   native <benchmark>/<devices> <microseconds>           one repetition

$1 == "imports" {
    list = ""
    for (i = 3; i <= NF; ++i) list = list (i > 3 ? " " : "") $i
    imported[$2] = list
    next
}

NF == 3 {
    key = $1 SUBSEP $2
    count[key]++
    value[key, count[key]] = $3 + 0
}

# --- statistics ----------------------------------------------------------------

function sorted_values(key, out,    n, i, j, v) {
    n = count[key] + 0
    for (i = 1; i <= n; ++i) out[i] = value[key, i]
    for (i = 2; i <= n; ++i) {
        v = out[i]
        for (j = i - 1; j >= 1 && out[j] > v; --j) out[j + 1] = out[j]
        out[j + 1] = v
    }
    return n
}

# The p-quantile of the sorted out[1..n], interpolated between ranks.
function quantile(out, n, p,    h, lo) {
    if (n == 0) return ""
    h = (n - 1) * p + 1
    lo = int(h)
    if (lo >= n) return out[n]
    return out[lo] + (h - lo) * (out[lo + 1] - out[lo])
}

function stat(key, what,    out, n) {
    n = sorted_values(key, out)
    if (n == 0) return ""
    if (what == "median") return quantile(out, n, 0.5)
    if (what == "min") return out[1]
    if (what == "max") return out[n]
    if (what == "q1") return quantile(out, n, 0.25)
    if (what == "q3") return quantile(out, n, 0.75)
    if (what == "n") return n
}

function num(x) { return x == "" ? "null" : sprintf("%.4f", x) + 0 }

function values_json(key,    n, i, s) {
    n = count[key] + 0
    s = "["
    for (i = 1; i <= n; ++i) s = s (i > 1 ? ", " : "") (value[key, i] + 0)
    return s "]"
}

function side_json(key) {
    if (count[key] + 0 == 0) return "null"
    return sprintf("{\"runs\": %d, \"median\": %s, \"min\": %s, \"max\": %s, \"q1\": %s, \"q3\": %s, \"values\": %s}",
                   stat(key, "n"), num(stat(key, "median")), num(stat(key, "min")), num(stat(key, "max")),
                   num(stat(key, "q1")), num(stat(key, "q3")), values_json(key))
}

function spread(key) {
    if (count[key] + 0 == 0) return "-"
    return short(stat(key, "min")) "-" short(stat(key, "max"))
}

function short(x) {
    if (x == "") return "-"
    if (x >= 100 || x == int(x)) return sprintf("%d", x + 0.5)
    if (x >= 10) return sprintf("%.1f", x)
    return sprintf("%.2f", x)
}

function json_text(s) {
    gsub(/\\/, "\\\\", s)
    gsub(/"/, "\\\"", s)
    return "\"" s "\""
}

function dll_list_json(list,    parts, n, i, s) {
    n = split(list, parts, " ")
    s = "["
    for (i = 1; i <= n; ++i) s = s (i > 1 ? ", " : "") json_text(parts[i])
    return s "]"
}

# --- one row of the table and one entry of the JSON ----------------------------
#
# kind "ratio": met when median(marvolt) / median(baseline) <= limit.
# kind "below": met when median(marvolt) < limit; the baseline is for reference.
# kind "most": met when median(marvolt) <= limit; the baseline is for reference.
# kind "info": the ratio only, against a yardstick that does more of Marvolt's
# job; it explains a difference and sets no goal.

function row(id, label, mkey, bkey, bname, kind, limit,    m, b, ratio, met, goal, entry) {
    m = stat(mkey, "median")
    b = stat(bkey, "median")
    ratio = (m != "" && b != "" && b > 0) ? m / b : ""
    if (kind == "info") {
        goal = "info"
    } else if (kind == "ratio") {
        goal = "<= " limit "x"
        met = ratio != "" && ratio <= limit
    } else if (kind == "most") {
        goal = "<= " limit
        met = m != "" && m <= limit
    } else {
        goal = "< " limit
        met = m != "" && m < limit
    }
    printf "%-36s %10s %10s %27s %8s %9s %5s\n", label, short(m), short(b), spread(mkey) " / " spread(bkey),
           ratio == "" ? "-" : sprintf("%.2fx", ratio), goal, kind == "info" ? "-" : m == "" ? "n/a" : (met ? "yes" : "NO")
    entry = sprintf("    {\"figure\": %s, \"label\": %s, \"baseline_program\": %s,\n     \"marvolt\": %s,\n     \"baseline\": %s,\n     \"ratio\": %s, \"goal\": %s, \"met\": %s}",
                    json_text(id), json_text(label), json_text(bname), side_json(mkey), side_json(bkey), num(ratio),
                    json_text(goal), kind == "info" || m == "" ? "null" : (met ? "true" : "false"))
    figures = figures (figures == "" ? "" : ",\n") entry
    if (kind != "info" && m != "" && !met) missed = missed " " id
}

# Growth from 100 to 999 devices as an exponent: 1 for linear, 2 for quadratic.
function exponent(bench,    a, b) {
    a = stat("native" SUBSEP bench "/100", "median")
    b = stat("native" SUBSEP bench "/999", "median")
    if (a == "" || b == "" || a <= 0 || b <= 0) return ""
    return log(b / a) / log(999 / 100)
}

function growth_row(id, label, bench, limit,    k, kb, met, entry) {
    k = exponent(bench)
    kb = exponent("BM_JoinRows")
    met = k != "" && k <= limit
    printf "%-36s %10s %10s %27s %8s %9s %5s\n", label, k == "" ? "-" : sprintf("%.2f", k),
           kb == "" ? "-" : sprintf("%.2f", kb), "", "-", "<= " limit, k == "" ? "n/a" : (met ? "yes" : "NO")
    entry = sprintf("    {\"figure\": %s, \"label\": %s, \"baseline_program\": \"BM_JoinRows\",\n     \"marvolt\": {\"exponent\": %s},\n     \"baseline\": {\"exponent\": %s},\n     \"ratio\": null, \"goal\": %s, \"met\": %s}",
                    json_text(id), json_text(label), num(k), num(kb), json_text("<= " limit),
                    k == "" ? "null" : (met ? "true" : "false"))
    figures = figures (figures == "" ? "" : ",\n") entry
    if (k != "" && !met) missed = missed " " id
}

END {
    printf "%-36s %10s %10s %27s %8s %9s %5s\n", "figure", "Marvolt", "baseline", "spread (min-max M / B)",
           "ratio", "goal", "met?"
    printf "%-36s %10s %10s %27s %8s %9s %5s\n", "------", "-------", "--------", "----------------------", "-----",
           "----", "----"
    row("start_to_idle_with_icon_ms", "start to idle with icon (ms)", "start_ms" SUBSEP "marvolt",
        "start_ms" SUBSEP "baseline", "baseline", "info")
    row("start_to_idle_with_icon_ms_vs_devices", "  same, vs baseline listing devices", "start_ms" SUBSEP "marvolt",
        "start_ms" SUBSEP "baseline_devices", "baseline_devices", "ratio", 1.1)
    row("peak_working_set_kib", "peak working set (KiB)", "peak_ws_kb" SUBSEP "marvolt",
        "peak_ws_kb" SUBSEP "baseline", "baseline", "info")
    row("peak_working_set_kib_vs_devices", "  same, vs baseline listing devices", "peak_ws_kb" SUBSEP "marvolt",
        "peak_ws_kb" SUBSEP "baseline_devices", "baseline_devices", "ratio", 1.05)
    row("private_bytes_kib", "private bytes (KiB)", "private_kb" SUBSEP "marvolt",
        "private_kb" SUBSEP "baseline", "baseline", "info")
    row("private_bytes_kib_vs_devices", "  same, vs baseline listing devices", "private_kb" SUBSEP "marvolt",
        "private_kb" SUBSEP "baseline_devices", "baseline_devices", "ratio", 1.1)
    row("second_start_ms", "second start until ended (ms)", "second_ms" SUBSEP "marvolt",
        "second_ms" SUBSEP "baseline_quick", "baseline_quick", "info")
    row("second_start_ms_vs_handover", "  same, vs least hand-over", "second_ms" SUBSEP "marvolt",
        "second_ms" SUBSEP "baseline_handover", "baseline_handover", "ratio", 1.25)
    row("handover_floor_ms", "  least hand-over vs baseline_quick", "second_ms" SUBSEP "baseline_handover",
        "second_ms" SUBSEP "baseline_quick", "baseline_quick", "info")
    row("click_to_value_ms", "click on device to value (ms)", "click_ms" SUBSEP "marvolt",
        "click_ms" SUBSEP "baseline_click", "baseline_click", "info")
    row("exe_size_bytes", "i686 exe size (bytes)", "exe_bytes" SUBSEP "marvolt", "exe_bytes" SUBSEP "baseline",
        "baseline", "most", 131072)
    row("update_exe_size_bytes", "i686 Update.exe size (bytes)", "exe_bytes" SUBSEP "update",
        "exe_bytes" SUBSEP "baseline", "baseline", "most", 49152)
    only = value["windows_only", "marvolt", 1]
    printf "%-36s %10s %10s %27s %8s %9s %5s\n", "imports only Windows' DLLs", only ? "yes" : "no",
           value["windows_only", "baseline", 1] ? "yes" : "no", "", "-", "yes", only ? "yes" : "NO"
    if (!only) missed = missed " imports_only_windows_dlls"
    row("menu_compose_999_us", "compose menu, 999 devices (us)", "native" SUBSEP "BM_CreatePopupMenu/999",
        "native" SUBSEP "BM_JoinRows/999", "BM_JoinRows", "below", 1000)
    row("menu_dispatch_999_us", "dispatch device entry, 999 (us)", "native" SUBSEP "BM_OnTrayMenuDevice/999",
        "native" SUBSEP "BM_JoinRows/999", "BM_JoinRows", "below", 1000)
    growth_row("menu_compose_growth", "compose growth 100->999 (exponent)", "BM_CreatePopupMenu", 1.2)
    growth_row("menu_dispatch_growth", "dispatch growth 100->999 (exponent)", "BM_OnTrayMenuDevice", 1.2)
    printf "\nimports: Marvolt: %s\n         baseline: %s\n", imported["marvolt"], imported["baseline"]
    printf "goals missed:%s\n", missed == "" ? " none" : missed

    # Figures that explain the ones above; in the JSON only.
    extra = ""
    n = split("idle_ms icon_ms ws_kb", keys, " ")
    for (i = 1; i <= n; ++i)
        extra = extra (i > 1 ? ",\n" : "") sprintf("    {\"figure\": %s, \"marvolt\": %s, \"baseline\": %s}",
                                                    json_text(keys[i]), side_json(keys[i] SUBSEP "marvolt"),
                                                    side_json(keys[i] SUBSEP "baseline"))
    extra = extra sprintf(",\n    {\"figure\": \"exe_bytes_baseline_quick\", \"value\": %s}",
                          num(value["exe_bytes", "baseline_quick", 1]))
    native = ""
    n = split("BM_JoinRows BM_ComposeTrayMenu BM_CreatePopupMenu BM_OnTrayMenuDevice", benches, " ")
    m = split("1 10 100 999", sizes, " ")
    for (i = 1; i <= n; ++i)
        for (j = 1; j <= m; ++j) {
            key = "native" SUBSEP benches[i] "/" sizes[j]
            if (count[key] + 0 == 0) continue
            native = native (native == "" ? "" : ",\n") sprintf("    {\"benchmark\": %s, \"devices\": %d, \"us\": %s}",
                                                               json_text(benches[i]), sizes[j], side_json(key))
        }

    printf "{\n  \"commit\": %s, \"uncommitted_changes\": %s, \"wine\": %s, \"runs\": %d,\n", json_text(commit),
           dirty, json_text(wine_version), runs > json
    printf "  \"imports\": {\"marvolt\": %s, \"baseline\": %s, \"baseline_quick\": %s,\n", dll_list_json(imported["marvolt"]),
           dll_list_json(imported["baseline"]), dll_list_json(imported["baseline_quick"]) > json
    printf "              \"marvolt_only_windows_dlls\": %s},\n", only ? "true" : "false" > json
    printf "  \"figures\": [\n%s\n  ],\n", figures > json
    printf "  \"details\": [\n%s\n  ],\n", extra > json
    printf "  \"native\": [\n%s\n  ],\n", native > json
    printf "  \"goals_missed\": %s\n}\n", dll_list_json(substr(missed, 2)) > json
    close(json)
    print "results: " json
}
