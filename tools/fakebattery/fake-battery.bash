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
fb_put() {  # path value
    local new=${1%/*}/.${1##*/}.new
    printf '%s\n' "$2" >"$new" && mv -f "$new" "$1"
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
    local file
    for file in AC/type=Mains AC/online="$FB_AC" BAT0/type=Battery BAT0/present=1 BAT0/status="$status" \
        BAT0/capacity="$FB_PERCENT" BAT0/voltage_now="$FB_VOLTAGE_UV" BAT0/charge_full="$FB_CHARGE_FULL_UAH" \
        BAT0/charge_now="$charge_now" BAT0/current_now="$current" BAT0/energy_full="$energy_full" \
        BAT0/energy_now=$((energy_full * FB_PERCENT / 100)) BAT0/power_now=$((current * FB_VOLTAGE_UV / 1000000)); do
        fb_put "$dir/${file%%=*}" "${file#*=}"
    done
}

# fb_load DIR: takes the adapter and level not chosen from an existing tree,
# so a rewrite changes only what it names.
fb_load() {
    [[ -d $1/BAT0 ]] || fb_die "$1 holds no fake battery (make one with with-fake-battery --dir $1)"
    [[ -n $FB_AC ]] || fb_take_option --ac "$(<"$1/AC/online")"
    [[ -n $FB_PERCENT ]] || fb_take_option --percent "$(<"$1/BAT0/capacity")"
}
