-- The four tables of Pager.Mdb. Counters are never reused (AUTOINCREMENT), so the history
-- of a deleted user never attaches to a new one. Names use the NOME collation, registered
-- by the program on each connection: Portuguese order, case-insensitive equality.
CREATE TABLE Usuarios (
    ID_Usuario INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome_Usuario TEXT NOT NULL COLLATE NOME,
    ID_Pager TEXT NOT NULL,
    Descricao TEXT NOT NULL,
    Data_Cadastro TEXT NOT NULL
);
CREATE TABLE Grupos (
    ID_Grupo INTEGER PRIMARY KEY AUTOINCREMENT,
    Nome_Grupo TEXT NOT NULL COLLATE NOME,
    Descricao_Grupo TEXT NOT NULL
);
CREATE TABLE Usuario_Grupo (
    ID_Usuario INTEGER NOT NULL,
    ID_Grupo INTEGER NOT NULL
);
CREATE TABLE Log (
    Data TEXT NOT NULL,
    Hora TEXT NOT NULL,
    Usuario TEXT NOT NULL COLLATE NOME,
    Mensagem TEXT NOT NULL,
    ID_Pager TEXT NOT NULL,
    ID_Usuario INTEGER NOT NULL,
    -- What the terminal did with the page: 'entregue' or 'recusada', and its reason when it gave one.
    Situacao TEXT NOT NULL DEFAULT 'entregue',
    Motivo TEXT NOT NULL DEFAULT ''
);
-- Indexes only for speed: the name lists walk them in order instead of sorting (a collation
-- call per comparison), and a group's members are found without reading every membership.
CREATE INDEX IF NOT EXISTS Usuarios_Nome ON Usuarios (Nome_Usuario);
CREATE INDEX IF NOT EXISTS Grupos_Nome ON Grupos (Nome_Grupo);
CREATE INDEX IF NOT EXISTS Usuario_Grupo_Grupo ON Usuario_Grupo (ID_Grupo, ID_Usuario);
CREATE INDEX IF NOT EXISTS Usuario_Grupo_Usuario ON Usuario_Grupo (ID_Usuario);
-- The history is shown in date, time and name order, for everybody or for one user.
CREATE INDEX IF NOT EXISTS Log_Ordem ON Log (Data, Hora, Usuario);
CREATE INDEX IF NOT EXISTS Log_Usuario ON Log (ID_Usuario, Data, Hora, Usuario);
