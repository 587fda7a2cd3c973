#!/bin/sh
# Checks the Debian package: builds it (tools/paquete.sh), unpacks it into an empty root,
# checks that every dependency it declares is installed here, checks its menu entry, its
# metainfo, its conffile and (when lintian is there) lintian's verdict, then works with the
# unpacked files alone: creates a database with the packaged trelmavondis-creardb, writes a
# configuration from the packaged sample that names it, and runs the packaged program on a
# virtual X display twice: the login dialog "Database Login" shows the configured database
# and user, and Cancel ends in the connection-failure message box that names the database
# (exit status 1); then logging in opens the main window on that database and closing the
# window ends the program (exit status 0). Windows are found and driven with xdotool; their
# texts are read through the accessibility bus (AT-SPI), as a screen reader reads them.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)

fallo() {
    echo "prueba-paquete: FALLO: $*" >&2
    exit 1
}

# --- on the virtual display (the script runs itself again under xvfb-run) ---

# Waits up to 60 s for a visible window of process $1 whose title matches the extended
# regular expression $2 (or, with a third argument -v, does not match it); prints its id.
esperar_ventana() {
    i=0
    while [ $i -lt 120 ]; do
        vivo "$1" || return 1
        for w in $(xdotool search --onlyvisible --pid "$1" '' 2>/dev/null); do
            # Untitled windows (the root window among them) are no one's.
            titulo=$(xdotool getwindowname "$w" 2>/dev/null) || continue
            if [ -n "$titulo" ] && echo "$titulo" | grep -Eq ${3:-} "$2"; then
                echo "$w"
                return 0
            fi
        done
        sleep 0.5
        i=$((i + 1))
    done
    return 1
}

# Whether process $1 runs (an ended child stays a zombie until it is waited for).
vivo() {
    [ -r "/proc/$1/stat" ] && ! grep -q '^[0-9]* ([^)]*) Z' "/proc/$1/stat" 2>/dev/null
}

# Waits up to 60 s for process $1 to end and sets estado to its exit status.
esperar_fin() {
    i=0
    while vivo "$1" && [ $i -lt 120 ]; do
        sleep 0.5
        i=$((i + 1))
    done
    if vivo "$1"; then
        kill "$1"
        wait "$1" || true
        estado="sigue en marcha tras 60 s"
        return 0
    fi
    estado=0
    wait "$1" || estado=$?
}

# Types keys into window $1 (given the input focus first: there is no window manager).
teclas() {
    w=$1
    shift
    xdotool windowfocus --sync "$w"
    xdotool "$@"
}

# Asks window $1 to close as a window manager does (WM_DELETE_WINDOW).
cerrar_ventana() {
    /usr/bin/python3 - "$1" <<'PY'
import ctypes, sys
x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
class Event(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                         ctypes.POINTER(Event)]
x.XFlush.argtypes = [ctypes.c_void_p]
x.XCloseDisplay.argtypes = [ctypes.c_void_p]
d = x.XOpenDisplay(None)
if not d:
    sys.exit("no display")
w = int(sys.argv[1])
e = Event()
e.xclient.type = 33  # ClientMessage
e.xclient.window = w
e.xclient.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
e.xclient.format = 32
e.xclient.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
e.xclient.data[1] = 0  # CurrentTime
x.XSendEvent(d, w, 0, 0, ctypes.byref(e))
x.XFlush(d)
x.XCloseDisplay(d)
PY
}

# Prints, one line each, "role<TAB>name<TAB>text" of the top-level window of process $1
# titled $2 and of everything in it, as the accessibility bus (AT-SPI) shows them to a
# screen reader: what the user reads in the window.
textos_ventana() {
    /usr/bin/python3 - "$1" "$2" <<'PY'
import sys
import gi
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

pid, titulo = int(sys.argv[1]), sys.argv[2]

def recorrer(acc):
    yield acc
    for i in range(acc.get_child_count()):
        hijo = acc.get_child_at_index(i)
        if hijo is not None:
            yield from recorrer(hijo)

escritorio = Atspi.get_desktop(0)
for i in range(escritorio.get_child_count()):
    app = escritorio.get_child_at_index(i)
    if app is None or app.get_process_id() != pid:
        continue
    for j in range(app.get_child_count()):
        ventana = app.get_child_at_index(j)
        if ventana is None or ventana.get_name() != titulo:
            continue
        for acc in recorrer(ventana):
            texto = ""
            if "Text" in acc.get_interfaces():
                texto = Atspi.Text.get_text(acc, 0, -1)
            print(f"{acc.get_role_name()}\t{acc.get_name()}\t{texto}")
        sys.exit(0)
sys.exit("no hay ventana " + titulo)
PY
}

# Writes the texts of window $2 of process $1 into the file textos, once the window shows
# the line $3 on the accessibility bus (up to 10 s: the bus hears of a window a little after
# it is mapped).
leer_textos() {
    i=0
    while [ $i -lt 20 ]; do
        textos_ventana "$1" "$2" >textos 2>/dev/null || true
        grep -qxF "$3" textos && return 0
        sleep 0.5
        i=$((i + 1))
    done
}

if [ "${1:-}" = "--pantalla" ]; then
    programa=$2
    basededatos=$3
    usuario=$4
    export QT_QPA_PLATFORM=xcb
    # Qt joins the accessibility bus if it runs when the program starts.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")
from gi.repository import Atspi; Atspi.get_desktop(0)'
    tab=$(printf '\t')
    pid=""
    trap '[ -z "$pid" ] || kill $pid 2>/dev/null || true' EXIT

    # 1. Login dialog, then Cancel: the connection-failure box, then the program ends.
    "$programa" &
    pid=$!
    w=$(esperar_ventana $pid '^Database Login$') || fallo "no aparece el diálogo \"Database Login\""
    leer_textos $pid "Database Login" "label${tab}Database:$tab"
    grep -qx "label${tab}Database:$tab" textos || fallo "el diálogo no tiene la línea \"Database:\""
    grep -qxF "label$tab$basededatos$tab" textos ||
        fallo "el diálogo no muestra la base de datos configurada ($basededatos)"
    grep -qxF "text${tab}User Name:$tab$usuario" textos ||
        fallo "el diálogo no propone el usuario configurado ($usuario)"
    echo "Diálogo \"Database Login\" a la vista: Database: $basededatos, User Name: $usuario."
    teclas "$w" key Escape
    w=$(esperar_ventana $pid '^Trelmavondis$') ||
        fallo "tras cancelar no aparece el mensaje de conexión fallida"
    leer_textos $pid "Trelmavondis" "push button${tab}OK$tab"
    grep -qF "base de datos: $basededatos." textos ||
        fallo "el mensaje de conexión fallida no nombra la base de datos configurada"
    teclas "$w" key Return
    esperar_fin $pid
    [ "$estado" = 1 ] || fallo "tras cancelar el programa termina con \"$estado\" en vez de 1"
    echo "Cancelar: mensaje de conexión fallida y fin (estado 1)."

    # 2. Login (the user comes from the configuration, the embedded engine takes any
    #    password): the main window opens on the database; closing it ends the program.
    "$programa" &
    pid=$!
    w=$(esperar_ventana $pid '^Database Login$') || fallo "no aparece el diálogo \"Database Login\""
    teclas "$w" type --delay 20 clave
    teclas "$w" key Return
    # Any window but the dialog: the main window, or the failure box titled "Trelmavondis".
    w=$(esperar_ventana $pid '^Database Login$' -v) ||
        fallo "tras entrar no aparece la ventana principal"
    titulo=$(xdotool getwindowname "$w")
    [ "$titulo" != "Trelmavondis" ] || fallo "no ha podido conectar con la base de datos"
    echo "Ventana principal a la vista: $titulo"
    xprop -id "$w" _NET_WM_ICON | grep -q '^_NET_WM_ICON(CARDINAL) = ' ||
        fallo "la ventana principal no lleva el icono del programa (_NET_WM_ICON)"
    echo "La ventana principal lleva el icono del programa."
    cerrar_ventana "$w"
    esperar_fin $pid
    [ "$estado" = 0 ] || fallo "al cerrar la ventana principal el programa termina con \"$estado\""
    echo "Cerrar la ventana principal: fin (estado 0)."
    pid=""
    exit 0
fi

# --- the package ---

"$top/tools/dependencias.sh"
paquete=$("$top/tools/paquete.sh" | tail -n 1)
[ -f "$paquete" ] || fallo "tools/paquete.sh no ha dejado el paquete"
echo "Paquete: $paquete"

# Tools of this check only.
faltan=""
for p in xvfb xauth xdotool x11-utils dbus-daemon at-spi2-core gir1.2-atspi-2.0 python3-gi \
    desktop-file-utils appstream lintian; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || faltan="$faltan $p"
done
if [ -n "$faltan" ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Instalando:$faltan"
    $sudo apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $faltan
fi

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
raiz="$tmp/raiz"
dpkg-deb -x "$paquete" "$raiz"
dpkg-deb -e "$paquete" "$tmp/control"

# Every dependency (one alternative of each) is installed here at a version that fits.
dpkg-deb -f "$paquete" Depends | tr ',' '\n' | while read -r grupo; do
    [ -n "$grupo" ] || continue
    ok=""
    alternativas=$(echo "$grupo" | tr '|' '\n')
    for alt in $(echo "$alternativas" | sed 's/ //g'); do
        nombre=${alt%%(*}
        instalada=$(dpkg-query -W -f='${Status} ${Version}' "$nombre" 2>/dev/null |
            sed -n 's/^install ok installed //p')
        [ -n "$instalada" ] || continue
        condicion=$(echo "$alt" | sed -n 's/^[^(]*(\([<>=]*\)\(.*\))$/\1 \2/p')
        if [ -z "$condicion" ]; then
            ok=1
        else
            op=${condicion%% *}
            ver=${condicion#* }
            case $op in
            ">=") op=ge ;; "<=") op=le ;; "=") op=eq ;; ">>") op=gt ;; "<<") op=lt ;;
            esac
            dpkg --compare-versions "$instalada" "$op" "$ver" && ok=1
        fi
        [ -n "$ok" ] && break
    done
    [ -n "$ok" ] || fallo "dependencia sin instalar: $grupo"
done
echo "Dependencias instaladas: $(dpkg-deb -f "$paquete" Depends)"

# What the package holds.
for f in usr/bin/trelmavondis usr/bin/trelmavondis-creardb usr/bin/trelmavondis-copia \
    usr/lib/systemd/user/trelmavondis-copia.timer usr/lib/systemd/user/trelmavondis-copia.service \
    usr/share/man/man1/trelmavondis-copia.1.gz \
    usr/share/applications/es.nirvelo.trelmavondis.desktop \
    usr/share/icons/hicolor/scalable/apps/trelmavondis.svg \
    usr/share/icons/hicolor/48x48/apps/trelmavondis.png \
    usr/share/metainfo/es.nirvelo.trelmavondis.metainfo.xml \
    usr/share/trelmavondis/reports/Trelmavondis.rav usr/share/trelmavondis/reports/Listado.rav \
    usr/share/trelmavondis/reports/FORMATO.md etc/xdg/Nirvelo/Trelmavondis.conf; do
    [ -s "$raiz/$f" ] || fallo "falta /$f en el paquete"
done
grep -qx '/etc/xdg/Nirvelo/Trelmavondis.conf' "$tmp/control/conffiles" ||
    fallo "la configuración no está marcada como conffile"
desktop-file-validate "$raiz/usr/share/applications/es.nirvelo.trelmavondis.desktop" ||
    fallo "desktop-file-validate rechaza la entrada del menú"
grep -qx 'Exec=trelmavondis' "$raiz/usr/share/applications/es.nirvelo.trelmavondis.desktop" ||
    fallo "la entrada del menú no arranca trelmavondis"
appstreamcli validate --no-net "$raiz/usr/share/metainfo/es.nirvelo.trelmavondis.metainfo.xml" ||
    fallo "appstreamcli rechaza los metadatos"
# The tags the README explains; any other error or warning fails.
lintian --fail-on error,warning \
    --suppress-tags initial-upload-closes-no-bugs \
    "$paquete" || fallo "lintian"
echo "Entrada del menú, metadatos y lintian: bien."

# A database made by the packaged tool, and the packaged sample configuration naming it.
# The sample's Directory is /usr/share/...: here it lives under the unpacked root.
"$raiz/usr/bin/trelmavondis-creardb" "$tmp/prueba.fdb"
[ -s "$tmp/prueba.fdb" ] || fallo "trelmavondis-creardb no ha creado la base de datos"
# Several users of one PC, each with a database of their own on the embedded engine, in either
# order, after an administrator has used the engine (above, as root) and beside a Firebird
# server's /tmp/firebird: each creates the demo database and works on it (a script that
# changes and adds rows). Another user's folder is refused with the reason in Spanish.
if [ "$(id -u)" -eq 0 ]; then
    chmod 755 "$tmp"
    cat >"$tmp/trabajo.sql" <<'SQL'
UPDATE INSTALACION SET SOLICITANTE_NOMBRE = 'CAMBIADO POR EL USUARIO' WHERE ID = 3;
INSERT INTO INSTALACION_ADJUNTOS (ID, INSTALACION, DIRECCION, NOTA) VALUES (100, 3, 'x', 'NOTA');
SQL
    chmod 644 "$tmp/trabajo.sql"
    for u in trelmaprueba1 trelmaprueba2; do
        id "$u" >/dev/null 2>&1 || useradd --no-create-home --shell /usr/sbin/nologin "$u" ||
            fallo "no se puede crear el usuario de prueba $u"
        rm -rf "/tmp/trelmavondis-firebird-$(id -u "$u")"
    done
    n=0
    for orden in "trelmaprueba1 trelmaprueba2" "trelmaprueba2 trelmaprueba1"; do
        n=$((n + 1))
        for u in $orden; do
            d="$tmp/usuarios/$n-$u"
            mkdir -p "$d"
            chown "$u" "$d"
            chmod 700 "$d"
            runuser -u "$u" -- "$raiz/usr/bin/trelmavondis-creardb" --demo \
                --guion "$tmp/trabajo.sql" "$d/trelmavondis.fdb" >"$tmp/salida" 2>&1 ||
                { cat "$tmp/salida" >&2; fallo "el usuario $u ($orden) no puede trabajar con su base de datos"; }
        done
        for u in trelmaprueba1 trelmaprueba2; do
            rm -rf "/tmp/trelmavondis-firebird-$(id -u "$u")"
        done
    done
    if runuser -u trelmaprueba2 -- "$raiz/usr/bin/trelmavondis-creardb" \
        "$tmp/usuarios/1-trelmaprueba1/otra.fdb" >"$tmp/salida" 2>&1; then
        fallo "un usuario ha creado una base de datos en la carpeta privada de otro"
    fi
    grep -q '^No tiene permiso para abrir o escribir el archivo de la base de datos' "$tmp/salida" ||
        { cat "$tmp/salida" >&2; fallo "sin permiso, el mensaje no da la razón en español"; }
    echo "Dos usuarios del equipo, en los dos órdenes, con su base de datos cada uno: bien."
else
    echo "Sin privilegios de administrador: no se prueba con dos usuarios del equipo."
fi

mkdir -p "$tmp/xdg/Nirvelo" "$tmp/impresos"
directorio=$(sed -n 's/^Directory=//p' "$raiz/etc/xdg/Nirvelo/Trelmavondis.conf")
[ -f "$raiz$directorio/Trelmavondis.rav" ] && [ -f "$raiz$directorio/Listado.rav" ] ||
    fallo "la configuración de ejemplo no apunta a los informes del paquete ($directorio)"
grep -q '^;Basededatos=' "$raiz/etc/xdg/Nirvelo/Trelmavondis.conf" ||
    fallo "la configuración de ejemplo no trae Basededatos comentada"
sed -e "0,/^;Basededatos=.*/s##Basededatos=$tmp/prueba.fdb#" \
    -e "s#^;Impresos=.*#Impresos=$tmp/impresos#" \
    -e "s#^Directory=.*#Directory=$raiz$directorio#" \
    "$raiz/etc/xdg/Nirvelo/Trelmavondis.conf" >"$tmp/xdg/Nirvelo/Trelmavondis.conf"

export XDG_CONFIG_DIRS="$tmp/xdg"
usuario=$(sed -n 's/^Usuario=//p' "$tmp/xdg/Nirvelo/Trelmavondis.conf")
(cd "$tmp" && timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
    "$top/tools/prueba-paquete.sh" --pantalla "$raiz/usr/bin/trelmavondis" "$tmp/prueba.fdb" "$usuario") ||
    fallo "el programa instalado"
echo "prueba-paquete: bien."
