-- The four tables of Pager.Mdb, schema version 3 (PRAGMA user_version, set by the program).
-- Counters are never reused (AUTOINCREMENT), so the history of a deleted user never attaches to
-- a new one. Nothing here needs more than a stock SQLite: each name has its order key
-- (store/ChaveDeOrdem.h) kept by the triggers below, in a table of keys for users and groups (their
-- own tables keep exactly their columns, so an INSERT without a column list still fits) and in a
-- column of Log; CHAVE(x) stands for the key's expression, put in by the program before it runs
-- this text.
CREATE TABLE Usuarios (
    ID_Usuario INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome_Usuario TEXT NOT NULL,
    ID_Pager TEXT NOT NULL,
    Descricao TEXT NOT NULL,
    Data_Cadastro TEXT NOT NULL
);
CREATE TABLE Grupos (
    ID_Grupo INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome_Grupo TEXT NOT NULL,
    Descricao_Grupo TEXT NOT NULL
);
CREATE TABLE Usuario_Grupo (
    ID_Usuario INTEGER NOT NULL,
    ID_Grupo INTEGER NOT NULL
);
-- Log.Origem: who asked for the page ('janela', 'linha de comando', 'SNPP <address> <user>'),
-- empty in rows written before it existed; last, where an upgrade's ALTER TABLE puts it.
CREATE TABLE Log (
    Data TEXT NOT NULL,
    Hora TEXT NOT NULL,
    Usuario TEXT NOT NULL,
    Mensagem TEXT NOT NULL,
    ID_Pager TEXT NOT NULL,
    ID_Usuario INTEGER NOT NULL,
    -- What the terminal did with the page: 'entregue' or 'recusada', and its reason when it gave one.
    Situacao TEXT NOT NULL DEFAULT 'entregue',
    Motivo TEXT NOT NULL DEFAULT '',
    Chave_Usuario TEXT,
    Origem TEXT NOT NULL DEFAULT ''
);
-- From here on everything is made again, when missing, each time the program opens the file.
-- The key of each user's and each group's name, with the name: stored in key order, so a name
-- list is read straight through, in order, without touching the wide rows, and a duplicate check
-- looks the key up.
CREATE TABLE IF NOT EXISTS Usuarios_Chave (
    Chave TEXT NOT NULL,
    ID_Usuario INTEGER NOT NULL,
    Nome_Usuario TEXT NOT NULL,
    PRIMARY KEY (Chave, ID_Usuario)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS Grupos_Chave (
    Chave TEXT NOT NULL,
    ID_Grupo INTEGER NOT NULL,
    Nome_Grupo TEXT NOT NULL,
    PRIMARY KEY (Chave, ID_Grupo)
) WITHOUT ROWID;
-- The triggers find a row's key by its identifier; a group's members are found without reading
-- every membership.
CREATE INDEX IF NOT EXISTS Usuarios_Chave_ID ON Usuarios_Chave (ID_Usuario);
CREATE INDEX IF NOT EXISTS Grupos_Chave_ID ON Grupos_Chave (ID_Grupo);
CREATE INDEX IF NOT EXISTS Usuario_Grupo_Grupo ON Usuario_Grupo (ID_Grupo, ID_Usuario);
CREATE INDEX IF NOT EXISTS Usuario_Grupo_Usuario ON Usuario_Grupo (ID_Usuario);
-- The history is shown in date, time and name order, for everybody or for one user.
CREATE INDEX IF NOT EXISTS Log_Ordem ON Log (Data, Hora, Chave_Usuario);
CREATE INDEX IF NOT EXISTS Log_Usuario ON Log (ID_Usuario, Data, Hora, Chave_Usuario);
-- Rows without a key (written while the triggers were missing), found at once.
CREATE INDEX IF NOT EXISTS Log_SemChave ON Log (Chave_Usuario) WHERE Chave_Usuario IS NULL;
-- The keys follow the names, whoever writes them. The Log's update fires only on a change of the
-- name, so the trigger's own write of the key never fires it again (recursive triggers or not).
CREATE TRIGGER IF NOT EXISTS Usuarios_Chave_Nova AFTER INSERT ON Usuarios BEGIN
    DELETE FROM Usuarios_Chave WHERE ID_Usuario = NEW.ID_Usuario;
    INSERT INTO Usuarios_Chave VALUES (CHAVE(NEW.Nome_Usuario), NEW.ID_Usuario, NEW.Nome_Usuario);
END;
CREATE TRIGGER IF NOT EXISTS Usuarios_Chave_Alterada AFTER UPDATE OF ID_Usuario, Nome_Usuario ON Usuarios BEGIN
    DELETE FROM Usuarios_Chave WHERE ID_Usuario IN (OLD.ID_Usuario, NEW.ID_Usuario);
    INSERT INTO Usuarios_Chave VALUES (CHAVE(NEW.Nome_Usuario), NEW.ID_Usuario, NEW.Nome_Usuario);
END;
CREATE TRIGGER IF NOT EXISTS Usuarios_Chave_Excluida AFTER DELETE ON Usuarios BEGIN
    DELETE FROM Usuarios_Chave WHERE ID_Usuario = OLD.ID_Usuario;
END;
CREATE TRIGGER IF NOT EXISTS Grupos_Chave_Nova AFTER INSERT ON Grupos BEGIN
    DELETE FROM Grupos_Chave WHERE ID_Grupo = NEW.ID_Grupo;
    INSERT INTO Grupos_Chave VALUES (CHAVE(NEW.Nome_Grupo), NEW.ID_Grupo, NEW.Nome_Grupo);
END;
CREATE TRIGGER IF NOT EXISTS Grupos_Chave_Alterada AFTER UPDATE OF ID_Grupo, Nome_Grupo ON Grupos BEGIN
    DELETE FROM Grupos_Chave WHERE ID_Grupo IN (OLD.ID_Grupo, NEW.ID_Grupo);
    INSERT INTO Grupos_Chave VALUES (CHAVE(NEW.Nome_Grupo), NEW.ID_Grupo, NEW.Nome_Grupo);
END;
CREATE TRIGGER IF NOT EXISTS Grupos_Chave_Excluida AFTER DELETE ON Grupos BEGIN
    DELETE FROM Grupos_Chave WHERE ID_Grupo = OLD.ID_Grupo;
END;
CREATE TRIGGER IF NOT EXISTS Log_Chave_Nova AFTER INSERT ON Log BEGIN
    UPDATE Log SET Chave_Usuario = CHAVE(NEW.Usuario) WHERE rowid = NEW.rowid;
END;
CREATE TRIGGER IF NOT EXISTS Log_Chave_Alterada AFTER UPDATE OF Usuario ON Log BEGIN
    UPDATE Log SET Chave_Usuario = CHAVE(NEW.Usuario) WHERE rowid = NEW.rowid;
END;
