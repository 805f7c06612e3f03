-- Handing in over the school network: a teacher opens a session for a test, and Quizdesk
-- hands each attempt's results file to it with the session's code, through one function that
-- the Quizdesk computers' login may call and nothing else. The bytes are kept as they came;
-- only Quizloom decodes them, into the teacher's own attempts. All of it is the server's:
-- this computer's gradebook, of one account, only learns the version. A statement after a
-- line "-- server only" is the server's alone. The role quizloom_student must exist first.

INSERT INTO schema_version (version) VALUES (6);

-- Six letters and digits without look-alikes (no B 8, I 1, O 0, S 5, Z 2): 26^6 codes, drawn
-- from the server's strong random source (gen_random_uuid's random bytes), never repeated.
-- Teachers cannot choose a code, so they cannot probe for a colleague's either.
-- server only
CREATE FUNCTION new_hand_in_code() RETURNS VARCHAR
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
  alphabet CONSTANT TEXT := 'ACDEFGHJKLMNPQRTUVWXY34679';
  random BYTEA;
  made TEXT;
  b INTEGER;
BEGIN
  LOOP
    made := '';
    WHILE length(made) < 6 LOOP
      random := uuid_send(gen_random_uuid());
      -- Bytes 6 and 8 carry the version and variant; the others are random. Bytes of 234 and
      -- above are dropped so that every character is equally likely.
      FOREACH b IN ARRAY ARRAY[0, 1, 2, 3, 4, 5, 7, 9, 10, 11, 12, 13, 14, 15] LOOP
        CONTINUE WHEN get_byte(random, b) >= 234 OR length(made) = 6;
        made := made || substr(alphabet, get_byte(random, b) % 26 + 1, 1);
      END LOOP;
    END LOOP;
    EXIT WHEN NOT EXISTS (SELECT 1 FROM hand_in_sessions s WHERE s.code = made);
  END LOOP;
  RETURN made;
END;
$$;

-- A session takes hand-ins for a test of the teacher's until it closes. The test is known as
-- collecting knows it, by its fingerprint, since nobody may have handed it in yet; its
-- question count bounds a results file's size. refused counts the calls with the session's
-- code that were refused (too large, too many), for the teacher to see.
-- server only
CREATE TABLE hand_in_sessions (
  id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  code VARCHAR(6) NOT NULL UNIQUE DEFAULT new_hand_in_code()
    CHECK (code ~ '^[ACDEFGHJKLMNPQRTUVWXY34679]{6}$'),
  collector VARCHAR(128) NOT NULL DEFAULT current_user,
  fingerprint VARCHAR(64) NOT NULL,
  question_count INTEGER NOT NULL CHECK (question_count BETWEEN 1 AND 9999),
  opened TIMESTAMPTZ NOT NULL DEFAULT now(),
  closes TIMESTAMPTZ NOT NULL,
  refused INTEGER NOT NULL DEFAULT 0,
  CHECK (closes >= opened AND closes <= opened + INTERVAL '1 day'),
  UNIQUE (id, collector)
);

-- server only
CREATE INDEX hand_in_sessions_by_test ON hand_in_sessions (collector, fingerprint);

-- Each hand-in's results file as it came, and what Quizloom made of it: nothing yet (NULL),
-- or the outcome shown in the session window. The bytes stay, so a replaced attempt can be
-- restored and a forged one looked at.
-- server only
CREATE TABLE hand_ins (
  id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
  session_id BIGINT NOT NULL,
  collector VARCHAR(128) NOT NULL,
  received TIMESTAMPTZ NOT NULL DEFAULT clock_timestamp(),
  results BYTEA NOT NULL,
  outcome VARCHAR(24) CHECK (outcome IN ('added', 'replaced', 'superseded', 'already collected',
                                         'damaged', 'deleted', 'restored', 'undone')),
  FOREIGN KEY (session_id, collector) REFERENCES hand_in_sessions (id, collector)
    ON DELETE CASCADE
);

-- server only
CREATE INDEX hand_ins_by_session ON hand_ins (session_id, id);

-- Unknown codes of the last minute by client address, against guessing. Only hand_in reads
-- and writes it.
-- server only
CREATE TABLE hand_in_guesses (
  client INET,
  at TIMESTAMPTZ NOT NULL DEFAULT clock_timestamp()
);

-- server only
CREATE INDEX hand_in_guesses_by_client ON hand_in_guesses (client, at);

-- Quizdesk's one call: 'handed in', or why it was refused in a word safe to show a student:
-- 'unknown' (no open or closed session has the code), 'closed', 'too large' (longer than the
-- session's test allows: the header and one record per question), 'too many' (more hand-ins
-- for the session within a minute than two classes of thirty make, or an address that gave
-- 20 unknown codes within a minute). The notice tells listening Quizlooms only which session
-- got something; any connected login can listen, so it names nobody and carries no bytes.
-- server only
CREATE FUNCTION hand_in(code TEXT, results BYTEA) RETURNS TEXT
LANGUAGE plpgsql VOLATILE SECURITY DEFINER SET search_path = public, pg_temp
AS $$
DECLARE
  given_code CONSTANT TEXT := upper(replace(left(COALESCE(hand_in.code, ''), 64), ' ', ''));
  address CONSTANT INET := inet_client_addr();
  session_row hand_in_sessions%ROWTYPE;
BEGIN
  DELETE FROM hand_in_guesses g WHERE g.at < clock_timestamp() - INTERVAL '1 minute';
  IF (SELECT COUNT(*) FROM hand_in_guesses g WHERE g.client IS NOT DISTINCT FROM address) >= 20
  THEN
    RETURN 'too many';
  END IF;
  -- Hand-ins of one session take turns, so that the minute's count holds exactly.
  SELECT * INTO session_row FROM hand_in_sessions s WHERE s.code = given_code FOR UPDATE;
  IF NOT FOUND THEN
    INSERT INTO hand_in_guesses (client) VALUES (address);
    RETURN 'unknown';
  END IF;
  IF session_row.closes <= now() THEN
    RETURN 'closed';
  END IF;
  IF hand_in.results IS NULL
     OR length(hand_in.results) > 199 + 3018 * session_row.question_count THEN
    UPDATE hand_in_sessions s SET refused = s.refused + 1 WHERE s.id = session_row.id;
    RETURN 'too large';
  END IF;
  IF (SELECT COUNT(*) FROM hand_ins h
      WHERE h.session_id = session_row.id AND h.received > clock_timestamp() - INTERVAL '1 minute')
     >= 120 THEN
    UPDATE hand_in_sessions s SET refused = s.refused + 1 WHERE s.id = session_row.id;
    RETURN 'too many';
  END IF;
  INSERT INTO hand_ins (session_id, collector, results)
    VALUES (session_row.id, session_row.collector, hand_in.results);
  PERFORM pg_notify('quizloom_hand_in', session_row.id::TEXT);
  RETURN 'handed in';
END;
$$;

-- Row security, one policy per command: a teacher reads their own sessions and hand-ins and
-- a head of department every teacher's; everyone, heads too, opens and closes only their own
-- sessions and records what became of their own hand-ins.
-- server only
ALTER TABLE hand_in_sessions ENABLE ROW LEVEL SECURITY;

-- server only
ALTER TABLE hand_ins ENABLE ROW LEVEL SECURITY;

-- server only
ALTER TABLE hand_in_guesses ENABLE ROW LEVEL SECURITY;

-- server only
CREATE POLICY read_sessions ON hand_in_sessions FOR SELECT
  USING (collector = current_user OR pg_has_role('quizloom_head', 'member'));

-- server only
CREATE POLICY open_sessions ON hand_in_sessions FOR INSERT WITH CHECK (collector = current_user);

-- server only
CREATE POLICY close_sessions ON hand_in_sessions FOR UPDATE
  USING (collector = current_user) WITH CHECK (collector = current_user);

-- server only
CREATE POLICY read_hand_ins ON hand_ins FOR SELECT
  USING (collector = current_user OR pg_has_role('quizloom_head', 'member'));

-- server only
CREATE POLICY mark_hand_ins ON hand_ins FOR UPDATE
  USING (collector = current_user) WITH CHECK (collector = current_user);

-- Exactly the rights each needs. Teachers: open a session (the code is the server's), close
-- it by moving its end, read hand-ins and record their outcome; never add, change or delete a
-- hand-in's bytes. The Quizdesk computers' login: hand_in and nothing else. No function of
-- the gradebook may be called by PUBLIC.
-- server only
REVOKE ALL ON hand_in_sessions, hand_ins, hand_in_guesses
  FROM PUBLIC, quizloom_teacher, quizloom_head, quizloom_student;

-- server only
REVOKE ALL ON SEQUENCE hand_in_sessions_id_seq, hand_ins_id_seq
  FROM PUBLIC, quizloom_teacher, quizloom_head, quizloom_student;

-- server only
GRANT SELECT ON hand_in_sessions, hand_ins TO quizloom_teacher;

-- server only
GRANT INSERT (collector, fingerprint, question_count, closes) ON hand_in_sessions TO quizloom_teacher;

-- server only
GRANT UPDATE (closes) ON hand_in_sessions TO quizloom_teacher;

-- server only
GRANT UPDATE (outcome) ON hand_ins TO quizloom_teacher;

-- server only
REVOKE ALL ON FUNCTION collect_attempt, new_hand_in_code, hand_in FROM PUBLIC;

-- server only
GRANT EXECUTE ON FUNCTION collect_attempt, new_hand_in_code TO quizloom_teacher;

-- server only
GRANT EXECUTE ON FUNCTION hand_in TO quizloom_student;
