# Sourced by with-fake-battery and set-fake-battery: the option parsing and the
# one writer of the fake supply tree, so both always lay out the same battery.

# A typical three-cell notebook pack, in the kernel's micro-units. The charge
# and energy views must agree: our Linux reader prefers energy_*, simple tools
# read capacity, and Wine reads only charge_*, current_now and voltage_now. Wine
# turns charge and voltage into mWh by integer division, so values in plain
# units come out as 0; it also skips a battery without a status file and
# matches type only with the newline the kernel ends every value with.
readonly FB_VOLTAGE_UV=11400000
readonly FB_CHARGE_FULL_UAH=5000000
readonly FB_CURRENT_UA=1500000

FB_AC='' FB_PERCENT=''

fb_die() {
    echo "${0##*/}: $*" >&2
    exit 2
}

# fb_take_option NAME VALUE: records one battery option; fails for other names.
fb_take_option() {
    case $1 in
        --ac)
            [[ $2 == [01] ]] || fb_die "--ac wants 0 or 1, not '$2'"
            FB_AC=$2 ;;
        --percent)
            if ! [[ $2 =~ ^[0-9]{1,3}$ ]] || ((10#$2 > 100)); then fb_die "--percent wants 0..100, not '$2'"; fi
            FB_PERCENT=$((10#$2)) ;;
        *) return 1 ;;
    esac
}

# Each file is replaced by a rename, so a program polling the tree while a
# test rewrites it never sees a half-written value.
fb_put() {
    printf '%s\n' "$3" >"$1/.$2.new" && mv -f "$1/.$2.new" "$1/$2"
}

# fb_write DIR: fills in what was not chosen (AC on, 80 %) and writes the adapter
# AC and the battery BAT0, with the status that the adapter and level imply.
fb_write() {
    local dir=$1 status=Charging current=$FB_CURRENT_UA
    : "${FB_AC:=1}" "${FB_PERCENT:=80}"
    if ((FB_AC == 0)); then status=Discharging
    elif ((FB_PERCENT == 100)); then status=Full current=0; fi
    local charge_now=$((FB_CHARGE_FULL_UAH * FB_PERCENT / 100))
    local energy_full=$((FB_CHARGE_FULL_UAH * FB_VOLTAGE_UV / 1000000))

    mkdir -p "$dir/AC" "$dir/BAT0" || fb_die "cannot create $dir"
    fb_put "$dir/AC" type Mains
    fb_put "$dir/AC" online "$FB_AC"

    local bat=$dir/BAT0
    fb_put "$bat" type Battery
    fb_put "$bat" present 1
    fb_put "$bat" status "$status"
    fb_put "$bat" capacity "$FB_PERCENT"
    fb_put "$bat" voltage_now "$FB_VOLTAGE_UV"
    fb_put "$bat" charge_full "$FB_CHARGE_FULL_UAH"
    fb_put "$bat" charge_now "$charge_now"
    fb_put "$bat" current_now "$current"
    fb_put "$bat" energy_full "$energy_full"
    fb_put "$bat" energy_now $((energy_full * FB_PERCENT / 100))
    fb_put "$bat" power_now $((current * FB_VOLTAGE_UV / 1000000))
}

# fb_load DIR: takes the adapter and level not chosen from an existing tree,
# so a rewrite changes only what it names; unreadable values fall back to the
# defaults (a test may have garbled them on purpose).
fb_load() {
    [[ -d $1/BAT0 ]] || fb_die "$1 holds no fake battery (make one with with-fake-battery --dir $1)"
    local online='' capacity=''
    read -r online 2>/dev/null <"$1/AC/online"
    read -r capacity 2>/dev/null <"$1/BAT0/capacity"
    [[ -z $FB_AC && $online == [01] ]] && FB_AC=$online
    [[ -z $FB_PERCENT && $capacity =~ ^[0-9]{1,3}$ ]] && ((10#$capacity <= 100)) && FB_PERCENT=$((10#$capacity))
    return 0
}
