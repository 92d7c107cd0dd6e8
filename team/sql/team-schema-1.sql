-- VK508M team database, layout 1: every inspector's measurement items and
-- their readings, one row each. The program runs this file itself in an
-- empty database when its role may make tables; an administrator may run
-- it instead: psql -d DATABASE -1 -f team-schema-1.sql
-- Later layouts come as further files that only add.

CREATE TABLE schema_version (
    version integer PRIMARY KEY,
    applied timestamptz NOT NULL DEFAULT now()
);

-- One row per item. Limits of 0 and empty detail texts are not set.
CREATE TABLE items (
    uuid uuid PRIMARY KEY,
    installation uuid NOT NULL,
    inspector text NOT NULL,
    owner name NOT NULL DEFAULT current_user,
    type smallint NOT NULL,
    name text NOT NULL,
    unit text NOT NULL,
    num integer NOT NULL,
    avg text NOT NULL,
    min text NOT NULL,
    max text NOT NULL,
    nominal double precision NOT NULL,
    minimum double precision NOT NULL,
    maximum double precision NOT NULL,
    correction double precision NOT NULL,
    rule smallint NOT NULL,
    project text NOT NULL,
    structure text NOT NULL,
    coating text NOT NULL,
    gauge_model text NOT NULL,
    gauge_serial text NOT NULL,
    probe_serial text NOT NULL,
    calibration date,
    adjustment text NOT NULL,
    details_inspector text NOT NULL,
    notes text NOT NULL,
    made timestamptz NOT NULL,
    changed timestamptz NOT NULL,
    revision bigint NOT NULL,
    generation bigint NOT NULL,
    reading_count integer NOT NULL,
    change xid8 NOT NULL DEFAULT pg_current_xact_id()
);
CREATE INDEX items_change ON items (change);
CREATE INDEX items_installation ON items (installation);

-- One row per reading, as the installation keeps it. NULL in value_mil,
-- text_um or text_mil stands for the value derived from value_um (value_um
-- / 25.4, value_um with no decimals, value_mil with two decimals); NULL in
-- value_um for no number.
CREATE TABLE readings (
    item_uuid uuid NOT NULL,
    seq integer NOT NULL,
    time_ms bigint,
    zone_s integer,
    value_um double precision,
    value_mil double precision,
    text_um text,
    text_mil text,
    overload integer NOT NULL,
    unit text NOT NULL,
    basis text NOT NULL,
    owner name NOT NULL DEFAULT current_user,
    PRIMARY KEY (item_uuid, seq)
);

-- Items deleted at their origin, so that the others drop their copies.
CREATE TABLE removed_items (
    uuid uuid PRIMARY KEY,
    owner name NOT NULL DEFAULT current_user,
    change xid8 NOT NULL DEFAULT pg_current_xact_id()
);
CREATE INDEX removed_items_change ON removed_items (change);

-- Every write of an item marks it with its transaction: the change counter
-- a pull starts from.
CREATE FUNCTION items_mark_change() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    NEW.change := pg_current_xact_id();
    RETURN NEW;
END $$;
CREATE TRIGGER items_mark_change BEFORE INSERT OR UPDATE ON items
    FOR EACH ROW EXECUTE FUNCTION items_mark_change();

-- A deleted item takes its readings along and leaves a note.
CREATE FUNCTION items_note_removal() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    DELETE FROM readings WHERE item_uuid = OLD.uuid;
    INSERT INTO removed_items (uuid, owner) VALUES (OLD.uuid, OLD.owner)
        ON CONFLICT (uuid) DO UPDATE SET change = pg_current_xact_id();
    RETURN OLD;
END $$;
CREATE TRIGGER items_note_removal AFTER DELETE ON items
    FOR EACH ROW EXECUTE FUNCTION items_note_removal();

-- Readings belong to an item of the same role. Checked once per statement
-- (a foreign key checks each row, which costs a bulk insert ten times over).
CREATE FUNCTION readings_check_items() RETURNS trigger LANGUAGE plpgsql AS $$
BEGIN
    IF EXISTS (SELECT 1 FROM added a
               WHERE NOT EXISTS (SELECT 1 FROM items i WHERE i.uuid = a.item_uuid AND i.owner = a.owner)) THEN
        RAISE EXCEPTION 'readings of an item the role did not write' USING ERRCODE = '42501';
    END IF;
    RETURN NULL;
END $$;
CREATE TRIGGER readings_check_items AFTER INSERT ON readings
    REFERENCING NEW TABLE AS added FOR EACH STATEMENT EXECUTE FUNCTION readings_check_items();

-- Every member of the team reads everything; a role changes and deletes
-- only the rows it wrote, the tables' owner too.
ALTER TABLE items ENABLE ROW LEVEL SECURITY;
ALTER TABLE items FORCE ROW LEVEL SECURITY;
CREATE POLICY items_read ON items FOR SELECT USING (true);
CREATE POLICY items_add ON items FOR INSERT WITH CHECK (owner = current_user);
CREATE POLICY items_change ON items FOR UPDATE USING (owner = current_user) WITH CHECK (owner = current_user);
CREATE POLICY items_remove ON items FOR DELETE USING (owner = current_user);

ALTER TABLE readings ENABLE ROW LEVEL SECURITY;
ALTER TABLE readings FORCE ROW LEVEL SECURITY;
CREATE POLICY readings_read ON readings FOR SELECT USING (true);
CREATE POLICY readings_add ON readings FOR INSERT WITH CHECK (owner = current_user);
CREATE POLICY readings_remove ON readings FOR DELETE USING (owner = current_user);

ALTER TABLE removed_items ENABLE ROW LEVEL SECURITY;
ALTER TABLE removed_items FORCE ROW LEVEL SECURITY;
CREATE POLICY removed_items_read ON removed_items FOR SELECT USING (true);
CREATE POLICY removed_items_add ON removed_items FOR INSERT WITH CHECK (owner = current_user);
CREATE POLICY removed_items_change ON removed_items FOR UPDATE
    USING (owner = current_user) WITH CHECK (owner = current_user);

-- The team is whoever may connect to the database (its CONNECT right);
-- the policies above decide what each member may change.
GRANT SELECT ON schema_version TO PUBLIC;
GRANT SELECT, INSERT, UPDATE, DELETE ON items TO PUBLIC;
GRANT SELECT, INSERT, DELETE ON readings TO PUBLIC;
GRANT SELECT, INSERT, UPDATE ON removed_items TO PUBLIC;

INSERT INTO schema_version (version) VALUES (1);
