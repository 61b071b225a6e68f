#include "modem/TravaDaPorta.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// The folder named by BIPVOX_TRAVAS (tests, or a site that keeps its locks elsewhere); else the
// usual system lock directory, so that programs of every user see one another.
QString DiretorioDasTravas() {
    const QString pedido = qEnvironmentVariable("BIPVOX_TRAVAS");
    if (!pedido.isEmpty()) {
        QDir().mkpath(pedido);
        return QDir(pedido).absolutePath();
    }
    for (const QString& candidato : {QStringLiteral("/run/lock"), QStringLiteral("/var/lock")}) {
        const QFileInfo info(candidato);
        if (info.isDir() && info.isWritable())
            return candidato;
    }
    return QDir::tempPath();
}

QString CaminhoReal(const QString& dispositivo) {
    const QFileInfo info(dispositivo);
    const QString real = info.canonicalFilePath();
    return real.isEmpty() ? info.absoluteFilePath() : real;
}

QString Erro(int erro) {
    return QString::fromLocal8Bit(std::strerror(erro));
}

constexpr int AberturaSemSeguir = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;

// The process holding the kernel lock on a file, from the kernel's own table: the real holder,
// whatever the file says. 0 when the table does not tell.
qint64 QuemTrava(const struct stat& info) {
    QFile tabela(QStringLiteral("/proc/locks"));
    if (!tabela.open(QIODevice::ReadOnly))
        return 0;
    // "1: FLOCK  ADVISORY  WRITE 1234 fe:00:10953029 0 EOF"; waiters carry "->" and are skipped.
    const QByteArray arquivo = QByteArray::number(major(info.st_dev), 16).rightJustified(2, '0') + ':' +
                               QByteArray::number(minor(info.st_dev), 16).rightJustified(2, '0') + ':' +
                               QByteArray::number(quint64(info.st_ino));
    for (const QByteArray& linha : tabela.readAll().split('\n')) {
        const QList<QByteArray> campos = linha.simplified().split(' ');
        if (campos.size() >= 6 && campos[1] == "FLOCK" && campos[5] == arquivo)
            return campos[4].toLongLong();
    }
    return 0;
}

bool Vivo(qint64 pid) {
    return pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM);
}

QString NomeDoPrograma() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationName();
    QFile comm(QStringLiteral("/proc/self/comm"));
    return comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
}

// Names the live holder: the kernel says who it is; the file (pid, program) may only add the
// program's full name, and is believed alone only where the kernel's table cannot be read.
QString EmUso(int arquivo, const struct stat& info) {
    char texto[256] = {};
    const ssize_t lidos = ::pread(arquivo, texto, sizeof texto - 1, 0);
    const QList<QByteArray> linhas = QByteArray(texto, int(std::max<ssize_t>(lidos, 0))).split('\n');
    const qint64 pidNoArquivo = linhas.value(0).trimmed().toLongLong();
    qint64 pid = QuemTrava(info);
    if (pid == 0 && Vivo(pidNoArquivo))
        pid = pidNoArquivo;
    QString programa;
    if (pid > 0 && pid == pidNoArquivo)
        programa = QString::fromUtf8(linhas.value(1).trimmed());
    if (programa.isEmpty() && pid > 0) {
        QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
        if (comm.open(QIODevice::ReadOnly))
            programa = QString::fromLocal8Bit(comm.readAll().trimmed());
    }
    if (pid <= 0)
        return QStringLiteral("em uso por outro programa do Bipvox");
    return QStringLiteral("em uso por outro programa do Bipvox (%1, processo %2)")
        .arg(programa.isEmpty() ? QStringLiteral("?") : programa)
        .arg(pid);
}

// A new lock file is born readable and writable by every user, whatever the umask: made under a
// private name, then linked into place, which fails if anything is there already. 0 or errno.
int CriaArquivo(const QByteArray& caminho) {
    QByteArray modelo = caminho + ".XXXXXX";
    const int novo = ::mkostemp(modelo.data(), O_CLOEXEC);
    if (novo < 0)
        return errno;
    ::fchmod(novo, 0666);
    ::close(novo);
    int erro = ::link(modelo.constData(), caminho.constData()) == 0 ? 0 : errno;
    ::unlink(modelo.constData());
    if (erro == EPERM || erro == EOPNOTSUPP || erro == EMLINK) {
        // A file system without hard links.
        const int arquivo = ::open(caminho.constData(), O_RDWR | O_CREAT | O_EXCL | AberturaSemSeguir, 0666);
        erro = arquivo < 0 ? errno : 0;
        if (arquivo >= 0) {
            ::fchmod(arquivo, 0666);
            ::close(arquivo);
        }
    }
    return erro;
}

// Something at the lock's path that no program can hold: a link (never followed), a folder, a
// file this user cannot even read. Cleared away while holding the lock folder itself, so two
// takers never clear each other's new lock file; nothing but junk is ever removed.
bool Desobstrui(const QByteArray& caminho, const QByteArray& pasta, QString& motivo) {
    const int guarda = ::open(pasta.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool guardada = false;
    for (int i = 0; guarda >= 0 && i < 100 && !guardada; ++i) {
        guardada = ::flock(guarda, LOCK_EX | LOCK_NB) == 0;
        if (!guardada)
            QThread::msleep(10);
    }
    bool feito = true;
    int erro = 0;
    struct stat info;
    if (!guardada) {
        feito = false;
        erro = guarda < 0 ? errno : EWOULDBLOCK;
    } else if (::lstat(caminho.constData(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            // Whatever the folder holds is kept beside it.
            const QByteArray ao_lado =
                caminho + ".pasta-" + QByteArray::number(QDateTime::currentMSecsSinceEpoch());
            feito =
                ::rmdir(caminho.constData()) == 0 || ::rename(caminho.constData(), ao_lado.constData()) == 0;
        } else if (S_ISREG(info.st_mode)) {
            const int legivel = ::open(caminho.constData(), O_RDONLY | AberturaSemSeguir);
            if (legivel >= 0)
                ::close(legivel); // a lock file after all: taken the usual way
            else if (QuemTrava(info) == 0)
                feito = ::unlink(caminho.constData()) == 0;
        } else {
            feito = ::unlink(caminho.constData()) == 0;
        }
        erro = feito ? 0 : errno;
    }
    if (guarda >= 0)
        ::close(guarda); // also ends its kernel lock
    if (!feito)
        motivo = QStringLiteral("não foi possível tirar o que ocupa o lugar da trava da porta em %1 (%2)")
                     .arg(QFile::decodeName(caminho), Erro(erro));
    return feito;
}

} // namespace

QString PastaDasTravas() {
    return DiretorioDasTravas();
}

QString ArquivoDaTrava(const QString& dispositivo) {
    QString nome = CaminhoReal(dispositivo);
    nome.replace(QLatin1Char('/'), QLatin1Char('_'));
    return DiretorioDasTravas() + QStringLiteral("/bipvox-porta") + nome + QStringLiteral(".lck");
}

bool TravaDaPorta::Obtem(const QString& dispositivo) {
    m_ocupada = false;
    m_motivo.clear();
    const QString chave = ArquivoDaTrava(dispositivo);
    if (m_arquivo >= 0 && m_chave == chave)
        return true;
    Libera();
    const QByteArray caminho = QFile::encodeName(chave);
    const QByteArray pasta = QFile::encodeName(QFileInfo(chave).absolutePath());
    const auto falha = [this, &chave](int erro) {
        m_motivo =
            QStringLiteral("não foi possível criar a trava da porta em %1 (%2)").arg(chave, Erro(erro));
        return false;
    };
    // Each pass either holds the lock, or finds a live holder, or changed what lies at the path
    // (created the file, cleared junk); a few passes cover takers racing one another.
    for (int volta = 0; volta < 8; ++volta) {
        bool gravavel = true;
        int arquivo = ::open(caminho.constData(), O_RDWR | AberturaSemSeguir);
        if (arquivo < 0 && (errno == EACCES || errno == EROFS)) {
            // A file of another user's dead sender: the kernel lock needs no write access.
            gravavel = false;
            arquivo = ::open(caminho.constData(), O_RDONLY | AberturaSemSeguir);
        }
        struct stat info;
        if (arquivo >= 0 && (::fstat(arquivo, &info) != 0 || !S_ISREG(info.st_mode))) {
            ::close(arquivo);
            arquivo = -1;
            errno = EISDIR;
        }
        if (arquivo < 0) {
            const int erro = errno;
            if (erro == ENOENT) {
                const int criacao = CriaArquivo(caminho);
                if (criacao != 0 && criacao != EEXIST)
                    return falha(criacao);
            } else if (!Desobstrui(caminho, pasta, m_motivo)) {
                return false;
            }
            continue;
        }
        if (::flock(arquivo, LOCK_EX | LOCK_NB) != 0) {
            const int erro = errno;
            if (erro == EWOULDBLOCK) {
                m_ocupada = true;
                m_motivo = EmUso(arquivo, info);
            }
            ::close(arquivo);
            return erro == EWOULDBLOCK ? false : falha(erro);
        }
        // Held, but it counts only on the file now at the path: junk cleared by another taker
        // between our open and our lock would otherwise leave two holders.
        struct stat agora;
        if (::lstat(caminho.constData(), &agora) != 0 || agora.st_dev != info.st_dev ||
            agora.st_ino != info.st_ino) {
            ::close(arquivo);
            continue;
        }
        if (gravavel) {
            // A file left by an older lock with a narrower mode: opened to every user again.
            ::fchmod(arquivo, 0666);
            const QByteArray quem =
                QByteArray::number(qint64(::getpid())) + '\n' + NomeDoPrograma().toUtf8() + '\n';
            m_escrito =
                ::ftruncate(arquivo, 0) == 0 && ::pwrite(arquivo, quem.constData(), quem.size(), 0) > 0;
        }
        m_arquivo = arquivo;
        m_chave = chave;
        return true;
    }
    return falha(EAGAIN);
}

void TravaDaPorta::Libera() {
    if (m_arquivo >= 0) {
        // Emptied before the kernel lock goes, so the file never names a holder that is gone.
        if (m_escrito) {
            [[maybe_unused]] const int esvaziado = ::ftruncate(m_arquivo, 0);
        }
        ::close(m_arquivo);
    }
    m_arquivo = -1;
    m_escrito = false;
    m_chave.clear();
}
